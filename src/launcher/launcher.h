// The launcher ZO.BAT: where it lives, writing it, reading it back.
#pragma once

#include <string>
#include <string_view>

#include "base/short_string.h"

// The choice-of-path dialog: a directory ending in a backslash.
Str chooseLauncherDirectory();
// Writes "@ECHO OFF", reservedLine and the command line (atomically).
void writeLauncher(std::string_view fileName);
// Takes over the reserved line and the switches of an existing launcher.
void readLauncher(std::string_view fileName);
// The option part of a launcher's command line.
std::string extractOptionLine(std::string_view commandLine);
