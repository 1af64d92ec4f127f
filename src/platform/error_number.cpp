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
    case EFBIG: return 223;  // ERROR_FILE_TOO_LARGE: a file-size limit
    default: return errnoValue;
  }
}

int outputErrorOf(int errnoValue) {
  switch (errnoValue) {
    case EPIPE: return 109;  // the pipe has been ended
    case EIO: return 29;     // the system cannot write to the device
    default: return win32ErrorOf(errnoValue);
  }
}

}  // namespace platform
