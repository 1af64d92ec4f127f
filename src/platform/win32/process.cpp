// The error output on Win32.
#include <cstdio>

#include "platform/run_end.h"
#include "platform/win32/windows.h"

namespace platform {

void writeError(std::string_view bytes) {
  // What went through the C runtime's buffers comes first.
  std::fflush(nullptr);
  DWORD written = 0;
  WriteFile(GetStdHandle(STD_ERROR_HANDLE), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

}  // namespace platform
