#include <array>

#include "platform/win32/fault_check.h"

namespace platform::fault {

namespace {
std::array<int, 7> pending = {-1, -1, -1, -1, -1, -1, -1};
}

void failNext(Op op, int error) { pending[static_cast<std::size_t>(op)] = error; }

void reset() { pending.fill(-1); }

int takeFailure(Op op) {
  int& slot = pending[static_cast<std::size_t>(op)];
  int value = slot;
  slot = -1;
  return value;
}

}  // namespace platform::fault
