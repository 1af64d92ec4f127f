// The run: one pass from the first screen to the exit code, and the state it carries.
#pragma once

#include "base/short_string.h"
#include "colours/colour_table.h"
#include "launcher/launcher.h"

struct RunState {
  Str zorDirectory;       // directory of ZOR4.EXE, with a trailing backslash
  Str launcherDirectory;  // directory of ZO.BAT, with a trailing backslash
  Launcher launcher;      // what ZO.BAT holds, then what the menu made of it
  ColourTable colourTable = defaultColourTable;  // kept from one colour-editor call to the next
};

// The directory of ZOR4.EXE, which must be the current one, with its backslash; empty,
// with the reason in problem, when ZOR4.EXE is not there or its path does not fit.
Str findZorDirectory(Str& problem);

// The whole run, from the first screen to the exit code.
[[noreturn]] void runProgram();
