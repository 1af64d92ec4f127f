// The unit tests' own fileSystem(): the file functions use the file system a test made, or
// the real one. Linked into the tests' program, it takes the place of the program's.
#include "failing_files.h"

namespace platform {

FileSystem& fileSystem() { return test::madeFileSystem ? *test::madeFileSystem : realFileSystem(); }

}  // namespace platform
