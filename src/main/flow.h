// The main flow's state and the small routines every screen shares.
#pragma once

#include <cstdint>
#include <string_view>

#include "base/short_string.h"
#include "settings/settings.h"

extern Str zorDirectory;       // directory of ZOR4.EXE, with a trailing backslash
extern Str launcherDirectory;  // directory of ZO.BAT, with a trailing backslash
extern Str reservedLine;       // the launcher's reserved comment line
extern std::string_view onOffTexts[2];

// Text attribute 30 (yellow on blue), then clear screen.
void newScreen();
// One key; a to z come back as capitals.
std::uint8_t readKeyUpper();
// Shows text in light red over the cursor's row, waits for a key, ends with exit code 0.
[[noreturn]] void abortWithMessage(std::string_view text);
// Reads lines until one is a whole number within lo..hi; prints nothing for a bad line.
void readNumber(std::int32_t& value, std::int32_t lo, std::int32_t hi);
void toggleFlag(Flag& flag);
void cutTail(Str& text, std::size_t n);
// The full path of the first place where name exists: the current directory, then each
// element of the ';'-separated list. Empty when there is none.
Str searchFile(std::string_view name, std::string_view list);

// The whole run, from the first screen to the exit code.
[[noreturn]] void runProgram();
