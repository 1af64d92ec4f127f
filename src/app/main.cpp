// zorsetup: sets up how ZOR is started (the launcher ZO.BAT) and edits its colour tables.
#include "app/command_line.h"
#include "app/run.h"
#include "console/console.h"
#include "console/system_console.h"

int main(int argc, char** argv) {
  platform::SystemFiles files;
  const platform::Machine machine = platform::machineOf(files);
  RunState run{machine};
  return runToTheEnd(run, [&]() -> int {
    if (argc > 1) return runCommandLine(machine, platform::programArguments(argc, argv));
    console::start(platform::systemConsole());
    runProgram(run);
    return 0;
  });
}
