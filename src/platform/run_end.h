// How a run ends: by a runtime error or on purpose, from however deep down. Either is
// thrown up to main(), which puts the console back, reports a failure and exits.
#pragma once

#include <string_view>

namespace platform {

// Ends the run. Thrown, never caught but by main(), which restores the console, reports
// "Runtime error N" on stderr for a failure, and exits with code.
struct RunEnd {
  int code;
  bool failed;
};

// 100: short block read, 101: short block write, otherwise the platform's error number
// (on POSIX the common errno values as Win32's). Throws RunEnd{code, true}.
[[noreturn]] void runtimeError(int code);
// A deliberate end: throws RunEnd{code, false}.
[[noreturn]] void endRun(int code);

// "Runtime error N" and a line feed on stderr, in one write.
void reportRuntimeError(int code);
// Writes bytes to stderr in one write, as the platform does it; nowhere to report a failure.
void writeError(std::string_view bytes);

}  // namespace platform
