// --set: the pairs of the arguments and of --from checked, then the launcher written with
// them (or shown, for --dry-run), and what changed said.
#pragma once

#include "app/command_line_options.h"
#include "app/command_line_result.h"
#include "platform/platform.h"

Outcome setJob(const platform::Machine& m, const Options& o);
