#include "platform/leftovers.h"

// Windows ends a console program on Ctrl+C without a handler of the program's; a temporary
// file left then is removed by the next save in its directory.
namespace platform {

void savingTo(const char*) noexcept {}
void keepOnSignal(const char*, const char*) noexcept {}
void doneWithTemporary(const char*) noexcept {}
void removeTemporaryInProgress() noexcept {}
void tidyUpOnDeadlySignals() noexcept {}

}  // namespace platform
