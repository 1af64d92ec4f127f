// The run: one pass from the first screen to the exit code, and the state it carries.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "base/short_string.h"
#include "colours/colour_table.h"
#include "launcher/launcher.h"
#include "platform/platform.h"
#include "platform/search.h"

struct RunState {
  explicit RunState(const platform::Machine& m) : machine(m) {}
  const platform::Machine& machine;  // what the run reads and writes
  Str zorDirectory;       // directory of ZOR4.EXE, with a trailing backslash
  Str launcherDirectory;  // directory of ZO.BAT, with a trailing backslash
  Launcher launcher;      // what ZO.BAT holds, then what the menu made of it
  ColourTable colourTable = defaultColourTable;  // kept from one colour-editor call to the next
  // How the run went, for the line shown once the terminal is handed back.
  enum class Outcome { unfinished, saved, gaveUp } outcome = Outcome::unfinished;
  platform::FileSummary launcherAsRead;  // what ZO.BAT held when it was read (or that it was not there)
  Saved saved;
  std::vector<Str> tablesSaved;  // full names, as the editor wrote them
};

// The whole run, from the first screen to its end; a runtime error ends it by platform::RunEnd.
void runProgram(RunState& run);
// After a run that ended as it should: one line on standard output naming what it wrote.
void reportWritten(const RunState& run);
// The whole run inside body, handed back to the caller as an exit code: every way out (a
// platform::RunEnd, any other exception, out of memory included) puts the console back
// first and then reports a failure as "Runtime error N" (203 out of memory, 217 any other
// exception); after a normal end, the line naming what the run wrote follows.
int runToTheEnd(RunState& run, const std::function<int()>& body);
