// The main flow's state and the small routines every screen shares.
#pragma once

#include <cstdint>
#include <string_view>

#include "base/short_string.h"
#include "prompts/prompts.h"
#include "settings/settings.h"

// The whole run, from the first screen to the exit code.
[[noreturn]] void runProgram();
