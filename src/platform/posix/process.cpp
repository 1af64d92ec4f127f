// Process end, runtime errors and the environment on POSIX.
#include <unistd.h>

#include <charconv>
#include <cstdlib>

#include "base/ascii.h"
#include "platform/environment.h"
#include "platform/platform.h"
#include "platform/posix/dos_view.h"

extern char** environ;

namespace platform {

namespace {

void (*exitHook)() = nullptr;

// Runs the hook once: a failure inside it (the console's last flush) must not loop.
void runExitHook() {
  void (*hook)() = exitHook;
  exitHook = nullptr;
  if (hook) hook();
}

}  // namespace

void setExitHook(void (*hook)()) { exitHook = hook; }

void exitProcess(int code) {
  runExitHook();
  std::exit(code);
}

void runtimeError(int code) {
  runExitHook();
  char report[40] = "Runtime error ";
  char* end = std::to_chars(report + 14, report + sizeof report - 1, code).ptr;
  *end++ = '\n';
  if (::write(STDERR_FILENO, report, static_cast<std::size_t>(end - report)) < 0) {
    // Nowhere left to report it; the exit code still tells.
  }
  std::exit(code);
}

Str environmentValue(std::string_view name) {
  std::string_view value = findVariable(environ, name);
  // The search path holds POSIX folders; the program reads DOS ones.
  if (ascii::sameIgnoringCase(name, "PATH")) return dos::dosSearchPath(value, posix::driveMap());
  return Str(value);
}

}  // namespace platform
