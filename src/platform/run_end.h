// How a run ends with a runtime error, from however deep down: thrown up to main(), which
// puts the console back, reports it and exits. A run that ends on purpose returns.
#pragma once

#include <string_view>

namespace platform {

// Thrown, never caught but by main(), which restores the console, reports "Runtime error N"
// on stderr and exits with code.
struct RunEnd {
  int code;
};

// 100: short block read, 101: short block write, otherwise the platform's error number
// (on POSIX the common errno values as Win32's). Throws RunEnd{code}.
[[noreturn]] void runtimeError(int code);

// "Runtime error N" and a line feed on stderr, in one write.
void reportRuntimeError(int code);
// Writes bytes to stderr in one write, as the platform does it; nowhere to report a failure.
void writeError(std::string_view bytes);

}  // namespace platform
