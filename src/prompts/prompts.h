// What every screen shares: a new screen in the program's colours, a key in capitals,
// a number prompt and the message that ends the run.
#pragma once

#include <cstdint>
#include <functional>
#include <string_view>

#include "base/short_string.h"

// Text attribute 30 (yellow on blue), then clear screen.
void newScreen();
// One key; a to z come back as capitals.
std::uint8_t readKeyUpper();
// Shows text in light red over the cursor's row, waits for a key, ends with exit code 0.
[[noreturn]] void abortWithMessage(std::string_view text);
// Reads lines until one is a whole number within lo..hi; prints nothing for a bad line.
void readNumber(std::int32_t& value, std::int32_t lo, std::int32_t hi);

// Reads a line where the cursor is until accept takes it (accept may change the answer). A
// refused answer beeps and goes from the screen, also from rows it scrolled, and the next
// one is typed in its place.
void readAnswer(Str& answer, const std::function<bool(Str&)>& accept);
