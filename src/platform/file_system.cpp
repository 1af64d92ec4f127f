// On its own in this file, so that a program that defines fileSystem() itself (the unit
// tests') leaves it out.
#include "platform/file_system.h"

namespace platform {

FileSystem& fileSystem() { return realFileSystem(); }

}  // namespace platform
