// zorsetup: sets up how ZOR is started (the launcher ZO.BAT) and edits its colour tables.
#include <optional>
#include <span>

#include "app/command_line.h"
#include "app/run.h"
#include "console/console.h"
#include "console/system_console.h"
#include "platform/run_end.h"

int main(int argc, char** argv) {
  // A runtime error comes here as a RunEnd: the console is put back first, then it is
  // reported. Putting it back may fail in turn (the console gone); that failure is then
  // the one reported.
  std::optional<platform::RunEnd> failure;
  RunState run;
  try {
    if (argc > 1) return runCommandLine(std::span<char* const>(argv + 1, static_cast<std::size_t>(argc - 1)));
    console::start(platform::systemConsole());
    runProgram(run);
  } catch (const platform::RunEnd& thrown) {
    failure = thrown;
  }
  try {
    console::finish();
    if (!failure) reportWritten(run);
  } catch (const platform::RunEnd& thrown) {
    failure = thrown;
  }
  if (!failure) return 0;
  platform::reportRuntimeError(failure->code);
  return failure->code;
}
