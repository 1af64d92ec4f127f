#include "platform/leftovers.h"

#include <signal.h>
#include <unistd.h>

namespace platform {

namespace {
// Read by signal handlers, so plain pointers set and cleared whole: the handler sees a
// path or nothing in each.
const char* volatile inProgress[2] = {nullptr, nullptr};
}  // namespace

void savingTo(const char* temporaryPath) noexcept {
  for (const char* volatile& slot : inProgress) {
    if (!slot) {
      slot = temporaryPath;
      return;
    }
  }
}

void doneWithTemporary(const char* temporaryPath) noexcept {
  for (const char* volatile& slot : inProgress)
    if (slot == temporaryPath) slot = nullptr;
}

void removeTemporaryInProgress() noexcept {
  for (const char* volatile& slot : inProgress) {
    const char* path = slot;
    slot = nullptr;
    if (path) ::unlink(path);
  }
}

}  // namespace platform
