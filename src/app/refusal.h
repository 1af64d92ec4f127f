// What the program says about a save the platform refused to make.
#pragma once

#include <string>

#include "platform/run_end.h"

// "FILE: reason" for a runtime error that a refusal explains, as a terminal may show it;
// "" for any other.
std::string refusalLine(const platform::RunEnd& end);
