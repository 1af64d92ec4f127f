// Helpers of the option-line parser that are worth reaching from outside it.
#pragma once

#include <string>
#include <string_view>

// An upper-case copy: a-z and the OEM umlauts (0x84, 0x94, 0x81) become capitals, every
// other byte stays as it is.
std::string upperCaseOem(std::string_view text);
