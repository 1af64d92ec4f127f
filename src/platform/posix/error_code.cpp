#include "platform/posix/error_code.h"

#include <sys/stat.h>

#include <cerrno>

namespace platform::posix {

namespace {

bool folderExists(const std::string& path) {
  std::size_t slash = path.rfind('/');
  std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
  struct stat status;
  return ::stat(folder.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

}  // namespace

int errorCode(int err, const std::string& path) {
  switch (err) {
    case ENOENT: return folderExists(path) ? 2 : 3;  // file not found / path not found
    case ENOTDIR: return 3;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR: return 5;    // access denied
    case ENOSPC: return 112;  // disk full
    default: return err;
  }
}

}  // namespace platform::posix
