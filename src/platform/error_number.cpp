#include "platform/error_number.h"

#include <cerrno>

namespace platform {

int win32ErrorOf(int errnoValue) {
  switch (errnoValue) {
    case ENOENT: return 2;
    case ENOTDIR: return 3;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR: return 5;
    case ENOSPC: return 112;
    default: return errnoValue;
  }
}

}  // namespace platform
