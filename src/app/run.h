// The run: one pass from the first screen to the exit code, and the state it carries.
#pragma once

#include <string>
#include <vector>

#include "base/short_string.h"
#include "colours/colour_table.h"
#include "launcher/launcher.h"

struct RunState {
  Str zorDirectory;       // directory of ZOR4.EXE, with a trailing backslash
  Str launcherDirectory;  // directory of ZO.BAT, with a trailing backslash
  Launcher launcher;      // what ZO.BAT holds, then what the menu made of it
  ColourTable colourTable = defaultColourTable;  // kept from one colour-editor call to the next
  // How the run went, for the line shown once the terminal is handed back.
  enum class Outcome { unfinished, saved, gaveUp } outcome = Outcome::unfinished;
  Backup backup = Backup::notNeeded;
  std::vector<Str> tablesSaved;  // full names, as the editor wrote them
};

// The directory of ZOR4.EXE, the current one or the absolute DOS directory given (without
// its backslash), with its backslash; empty, with the reason in problem, when ZOR4.EXE is
// not there or its path does not fit.
Str findZorDirectory(Str& problem, std::string_view directory = {});

// The whole run, from the first screen to its end; a runtime error ends it by platform::RunEnd.
void runProgram(RunState& run);
// After a run that ended as it should: one line on standard output naming what it wrote.
void reportWritten(const RunState& run);
// "Z:\ZOR\ZO.BAT (/zor/ZO.BAT)": a DOS path and, where it differs, the machine's own.
std::string pathForPeople(const Str& dosPath);
