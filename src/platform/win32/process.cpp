// Ending the run on Win32: the exit hook first (it shows the last screen), then the report.
#include <cstdio>

#include "platform/platform.h"
#include "platform/win32/windows.h"

namespace platform {

namespace {
void (*exitHook)() = nullptr;

void runExitHook() {
  void (*hook)() = exitHook;
  exitHook = nullptr;  // a failure inside the hook must not run it again
  if (hook) hook();
  // ExitProcess leaves the C runtime's buffers alone: what went through them comes first.
  std::fflush(nullptr);
}
}  // namespace

void setExitHook(void (*hook)()) { exitHook = hook; }

void exitProcess(int code) {
  runExitHook();
  ExitProcess(static_cast<UINT>(code));
}

void runtimeError(int code) {
  runExitHook();
  char report[40];
  // A line feed alone: the console returns to column 1 with it, and the report reads the
  // same as the POSIX build's wherever it goes.
  int length = std::snprintf(report, sizeof report, "Runtime error %d\n", code);
  DWORD written = 0;
  WriteFile(GetStdHandle(STD_ERROR_HANDLE), report, static_cast<DWORD>(length), &written, nullptr);
  ExitProcess(static_cast<UINT>(code));
}

}  // namespace platform
