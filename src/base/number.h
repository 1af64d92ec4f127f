// Whole numbers as the program reads them from a prompt or an option line.
#pragma once

#include <cstdint>
#include <string_view>

#include "base/short_string.h"

// Leading blanks skipped, an optional sign, decimal digits or "$" and hexadecimal digits,
// nothing after them, within signed 32 bits. False (and value 0) when the text is not such
// a number.
bool convertNumber(std::string_view text, std::int32_t& value);

// The value in plain decimal: no leading zeros or blanks, "-" when negative.
ShortString<11> decimal(std::int32_t value);
