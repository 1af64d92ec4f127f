#include <array>
#include <cerrno>

#include "platform/win32/fault_check.h"

namespace platform::fault {

namespace {

std::array<int, 7> pending = {-1, -1, -1, -1, -1, -1, -1};

int win32Error(int errnoValue) {
  switch (errnoValue) {
    case ENOENT: return 2;  // file not found
    case ENOTDIR: return 3;  // path not found
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR: return 5;  // access denied
    case ENOSPC: return 112;  // disk full
    default: return errnoValue;
  }
}

}  // namespace

void failNext(Op op, int errnoValue) { pending[static_cast<std::size_t>(op)] = errnoValue; }

void reset() { pending.fill(-1); }

int takeFailure(Op op) {
  int& slot = pending[static_cast<std::size_t>(op)];
  int value = slot;
  slot = -1;
  return value <= 0 ? value : win32Error(value);
}

}  // namespace platform::fault
