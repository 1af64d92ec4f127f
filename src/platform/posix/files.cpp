// Files on POSIX, with the runtime-error convention: a failed operation ends the run.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>

#include "platform/platform.h"
#include "platform/posix/dos_view.h"
#include "platform/posix/error_code.h"
#include "platform/posix/fault_check.h"

namespace platform {

namespace {

using fault::Op;

[[noreturn]] void fail(int err, const std::string& path = ".") { runtimeError(posix::errorCode(err, path)); }

// The file a DOS name stands for. A drive that is not mapped holds nothing: path not found.
std::string fileOf(std::string_view name) {
  std::optional<std::string> path = posix::posixPathOf(name);
  if (!path) runtimeError(3);
  return *path;
}

// -1 with errno set when a test has asked this operation to fail.
bool injectedFailure(Op op) {
  int err = fault::takeFailure(op);
  if (err < 0) return false;
  errno = err;
  return true;
}

int openFile(Op op, const std::string& path, int flags, mode_t mode = 0) {
  if (injectedFailure(op)) return -1;
  int fd;
  do fd = ::open(path.c_str(), flags | O_CLOEXEC | O_NOCTTY, mode);
  while (fd < 0 && errno == EINTR);
  return fd;
}

int fd(File file) { return static_cast<int>(file.handle); }

// Closes fd; false with errno set when that failed. EINTR leaves the descriptor closed.
bool closeFile(int fd) {
  int rc = ::close(fd);
  if (injectedFailure(Op::Close)) return false;
  return rc == 0 || errno == EINTR;
}

// Writes what it can. A test may make it fail, or put no bytes at all.
ssize_t writeSome(int fd, const char* data, std::size_t size) {
  int injected = fault::takeFailure(Op::Write);
  if (injected == 0) return 0;
  if (injected > 0) {
    errno = injected;
    return -1;
  }
  return ::write(fd, data, size);
}

std::string folderOf(const std::string& path) {
  std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// A temporary file beside target, opened for writing; a failure stops the run.
int createTemporary(const std::string& target, std::string& temp) {
  static unsigned serial = 0;
  for (int attempt = 0;; ++attempt) {
    temp = folderOf(target) + ".zorsetup-" + std::to_string(::getpid()) + '-' + std::to_string(serial++) +
           ".tmp";
    int fd = openFile(Op::Create, temp, O_WRONLY | O_CREAT | O_EXCL, 0666);
    if (fd >= 0) return fd;
    if (errno != EEXIST || attempt == 100) fail(errno, temp);
  }
}

}  // namespace

File openRead(std::string_view name) {
  std::string path = fileOf(name);
  int handle = openFile(Op::Open, path, O_RDONLY);
  if (handle < 0) fail(errno, path);
  struct stat status;
  if (::fstat(handle, &status) == 0 && S_ISDIR(status.st_mode)) {
    ::close(handle);
    fail(EISDIR);  // a folder is no file to read, as on Windows
  }
  return File{handle};
}

bool tryOpenReadWrite(std::string_view name, File& file) {
  std::optional<std::string> path = posix::posixPathOf(name);
  if (!path) return false;
  int handle = openFile(Op::Open, *path, O_RDWR);
  if (handle < 0) return false;
  file.handle = handle;
  return true;
}

std::size_t readSome(File file, void* buffer, std::size_t size) {
  for (;;) {
    ssize_t n = injectedFailure(Op::Read) ? -1 : ::read(fd(file), buffer, size);
    if (n >= 0) return static_cast<std::size_t>(n);
    if (errno != EINTR) fail(errno);
  }
}

void readBlock(File file, void* buffer, std::size_t size) {
  std::size_t done = 0;
  while (done < size) {
    std::size_t n = readSome(file, static_cast<char*>(buffer) + done, size - done);
    if (n == 0) runtimeError(100);
    done += n;
  }
}

void close(File file) {
  if (!closeFile(fd(file))) fail(errno);
}

void replaceFile(std::string_view name, std::string_view content) {
  std::string target = fileOf(name);
  struct stat status;
  bool exists = ::lstat(target.c_str(), &status) == 0;
  if (exists && S_ISLNK(status.st_mode)) {
    // A link keeps pointing at its file: that file is the one replaced.
    char* real = ::realpath(target.c_str(), nullptr);
    exists = real && ::stat(real, &status) == 0;
    if (real) target = real;
    std::free(real);
  }
  if (exists) {
    // What could not be opened for writing (read-only, a folder) is not replaced either.
    int probe = ::open(target.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (probe < 0) fail(errno, target);
    ::close(probe);
  }

  std::string temp;
  int out = createTemporary(target, temp);
  auto abandon = [&](int code) {
    if (out >= 0) ::close(out);
    ::unlink(temp.c_str());
    runtimeError(code);
  };
  if (exists && ::fchmod(out, status.st_mode & 07777) != 0) {
    // The new file keeps the default permissions then; its content matters more.
  }

  std::size_t done = 0;
  while (done < content.size()) {
    ssize_t n = writeSome(out, content.data() + done, content.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) abandon(posix::errorCode(errno, target));
    if (n == 0) abandon(101);
    done += static_cast<std::size_t>(n);
  }
  if ((injectedFailure(Op::Flush) || ::fsync(out) != 0) && errno != EINVAL)  // EINVAL: cannot sync here
    abandon(posix::errorCode(errno, target));
  int closing = out;
  out = -1;
  if (!closeFile(closing)) abandon(posix::errorCode(errno, target));
  if (injectedFailure(Op::Rename) || ::rename(temp.c_str(), target.c_str()) != 0)
    abandon(posix::errorCode(errno, target));

  // Make the new name itself last; the content is already safe if this cannot be done.
  std::string folder = folderOf(target);
  int dir = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
}

}  // namespace platform
