// The program's arguments: the help, the version, and the launcher's settings read and
// written without the screen (--show, --set), for scripts and for many machines at once.
#pragma once

#include <span>

// Carries out the arguments (argv without the program name) and returns the exit code:
// 0 done, 1 no launcher to work on, 2 a usage error or a bad KEY=VALUE. A failed file
// operation ends the run with its runtime error, as in the interactive program.
int runCommandLine(std::span<char* const> arguments);
