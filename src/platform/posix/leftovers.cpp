#include "platform/leftovers.h"

#include <signal.h>
#include <unistd.h>

namespace platform {

namespace {
// Read by signal handlers, so a plain pointer set and cleared whole: the handler sees a
// path or nothing.
const char* volatile inProgress = nullptr;
}  // namespace

void savingTo(const char* temporaryPath) noexcept { inProgress = temporaryPath; }

void doneWithTemporary() noexcept { inProgress = nullptr; }

void removeTemporaryInProgress() noexcept {
  const char* path = inProgress;
  inProgress = nullptr;
  if (path) ::unlink(path);
}

}  // namespace platform
