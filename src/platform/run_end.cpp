#include "platform/run_end.h"

#include <charconv>

namespace platform {

void runtimeError(int code) { throw RunEnd{code}; }

void reportRuntimeError(int code) {
  char report[40] = "Runtime error ";
  char* end = std::to_chars(report + 14, report + sizeof report - 1, code).ptr;
  // A line feed alone: the Win32 console returns to column 1 with it too, and the report
  // reads the same from both builds wherever it goes.
  *end++ = '\n';
  writeError({report, static_cast<std::size_t>(end - report)});
}

}  // namespace platform
