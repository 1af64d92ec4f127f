#include "platform/file_system.h"

namespace platform {

namespace {
// The file system every file function calls; the tests put a failing file system here.
FileSystem* current = nullptr;
}  // namespace

FileSystem& fileSystem() { return current ? *current : realFileSystem(); }

void useFileSystem(FileSystem* fileSystem) { current = fileSystem; }

}  // namespace platform
