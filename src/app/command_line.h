// The program's arguments: the help, the version, and the launcher's settings read and
// written without the screen (--show, --set), for scripts and for many machines at once.
#pragma once

#include "platform/native.h"

// Carries out the arguments (platform::programArguments) and returns the exit code: 0
// done, 1 no launcher to work on, 2 a usage error, a bad KEY=VALUE or a word with a
// character the OEM code page lacks. A failed file operation ends the run with its runtime
// error, as in the interactive program.
int runCommandLine(const platform::Machine& m, const platform::Arguments& arguments);
