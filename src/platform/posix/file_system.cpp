// The file system of POSIX, and its errno values as the runtime errors of the program.
#include "platform/posix/file_system.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/error_number.h"
#include "platform/file_system.h"

namespace platform {

namespace {

int fd(std::intptr_t handle) { return static_cast<int>(handle); }

bool folderExists(const std::string& path) {
  struct stat status;
  return ::stat(posix::folderOf(path).c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

}  // namespace

// Written out rather than through std::filesystem, whose paths bring the whole locale
// machinery into a program linked without a shared C++ library.
std::string posix::folderOf(const std::string& path) {
  std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  std::size_t end = path.find_last_not_of('/', slash);
  return end == std::string::npos ? "/" : path.substr(0, end + 1);
}

int SystemFiles::open(const std::string& path, OpenMode mode, std::intptr_t& handle) {
  // O_NONBLOCK: a FIFO or device under the name must not hold the run; the caller looks
  // at what it opened before it reads. O_NOFOLLOW: the callers resolve the links that may
  // be followed, and what they checked is what is opened.
  int flags = mode == OpenMode::read        ? O_RDONLY | O_NONBLOCK
              : mode == OpenMode::readWrite ? O_RDWR | O_NONBLOCK
              : mode == OpenMode::write     ? O_WRONLY | O_NONBLOCK
                                            : O_WRONLY | O_CREAT | O_EXCL;
  int opened;
  do opened = ::open(path.c_str(), flags | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY, 0666);
  while (opened < 0 && errno == EINTR);
  if (opened < 0) return errno;
  handle = opened;
  return 0;
}

int SystemFiles::read(std::intptr_t handle, void* buffer, std::size_t size, std::size_t& got) {
  ssize_t n = ::read(fd(handle), buffer, size);
  if (n < 0) return errno;
  got = static_cast<std::size_t>(n);
  return 0;
}

int SystemFiles::write(std::intptr_t handle, const void* data, std::size_t size, std::size_t& put) {
  ssize_t n;
  do n = ::write(fd(handle), data, size);
  while (n < 0 && errno == EINTR);
  if (n < 0) return errno;
  put = static_cast<std::size_t>(n);
  return 0;
}

int SystemFiles::reserve(std::intptr_t handle, std::uint64_t size) {
  if (size == 0) return 0;
  int error;
  do error = ::posix_fallocate(fd(handle), 0, static_cast<off_t>(size));
  while (error == EINTR);
  return error;
}

int SystemFiles::truncate(std::intptr_t handle, std::uint64_t size) {
  return ::ftruncate(fd(handle), static_cast<off_t>(size)) == 0 ? 0 : errno;
}

// EINVAL: a file that cannot be synced here, with nothing to wait for.
int SystemFiles::flush(std::intptr_t handle) { return ::fsync(fd(handle)) == 0 || errno == EINVAL ? 0 : errno; }

// EINTR leaves the descriptor closed.
int SystemFiles::close(std::intptr_t handle) { return ::close(fd(handle)) == 0 || errno == EINTR ? 0 : errno; }

int SystemFiles::rename(const std::string& from, const std::string& to) {
  return ::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

int runtimeErrorCode(int systemError, const std::string& path) {
  // A missing name is "file not found" when its folder is there, else "path not found".
  if (systemError == ENOENT && !folderExists(path)) return 3;
  return win32ErrorOf(systemError);
}

}  // namespace platform
