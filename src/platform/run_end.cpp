#include "platform/run_end.h"

#include <charconv>
#include <utility>

namespace platform {

void runtimeError(int code) { throw RunEnd{code, Refusal::none, {}}; }

void refuse(int code, Refusal refusal, std::string file) { throw RunEnd{code, refusal, std::move(file)}; }

void reportRuntimeError(int code) {
  char report[40] = "Runtime error ";
  char* end = std::to_chars(report + 14, report + sizeof report - 1, code).ptr;
  // A line feed alone: the Win32 console returns to column 1 with it too, and the report
  // reads the same from both builds wherever it goes.
  *end++ = '\n';
  writeError({report, static_cast<std::size_t>(end - report)});
}

}  // namespace platform
