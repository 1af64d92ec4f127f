// Files on POSIX, with the runtime-error convention: a failed operation ends the run.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>

#include "platform/file_system.h"
#include "platform/platform.h"
#include "platform/posix/dos_view.h"
#include "platform/posix/file_system.h"

namespace platform {

namespace {

[[noreturn]] void fail(int err, const std::string& path = ".") { runtimeError(runtimeErrorCode(err, path)); }

// The file a DOS name stands for. A drive that is not mapped holds nothing: path not found.
std::string fileOf(std::string_view name) {
  std::optional<std::string> path = posix::posixPathOf(name);
  if (!path) runtimeError(3);
  return *path;
}

// A temporary file beside target, opened for writing; a failure stops the run.
File createTemporary(const std::string& target, std::string& temp) {
  // Names differ within the run too, should one be left where another is made.
  static unsigned serial = 0;
  std::string folder = posix::folderOf(target);
  if (folder.back() != '/') folder += '/';
  for (int attempt = 0;; ++attempt) {
    temp = folder + ".zorsetup-" + std::to_string(::getpid()) + '-' + std::to_string(serial++) + ".tmp";
    std::intptr_t handle;
    int err = fileSystem().open(temp, OpenMode::createNew, handle);
    if (err == 0) return File(handle);
    if (err != EEXIST || attempt == 100) fail(err, temp);
  }
}

// The temporary file of a replace: removed when the replace gives up.
struct Temporary {
  File file;
  std::string name;
  bool renamed = false;
  ~Temporary() {
    file = File();
    if (!renamed) ::unlink(name.c_str());
  }
};

}  // namespace

File openRead(std::string_view name) {
  std::string path = fileOf(name);
  std::intptr_t handle;
  if (int err = fileSystem().open(path, OpenMode::read, handle)) fail(err, path);
  File file(handle);
  struct stat status;
  if (::fstat(static_cast<int>(handle), &status) == 0 && S_ISDIR(status.st_mode))
    fail(EISDIR);  // a folder is no file to read, as on Windows
  return file;
}

bool tryOpenReadWrite(std::string_view name, File& file) {
  std::optional<std::string> path = posix::posixPathOf(name);
  if (!path) return false;
  std::intptr_t handle;
  if (fileSystem().open(*path, OpenMode::readWrite, handle) != 0) return false;
  file = File(handle);
  return true;
}

std::size_t readSome(const File& file, void* buffer, std::size_t size) {
  for (;;) {
    std::size_t got = 0;
    int err = fileSystem().read(file.handle(), buffer, size, got);
    if (err == 0) return got;
    if (err != EINTR) fail(err);
  }
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

  Temporary temp;
  temp.file = createTemporary(target, temp.name);
  int out = static_cast<int>(temp.file.handle());
  if (exists && ::fchmod(out, status.st_mode & 07777) != 0) {
    // The new file keeps the default permissions then; its content matters more.
  }

  FileSystem& files = fileSystem();
  std::size_t done = 0;
  while (done < content.size()) {
    std::size_t put = 0;
    int err = files.write(temp.file.handle(), content.data() + done, content.size() - done, put);
    if (err == EINTR) continue;
    if (err != 0) fail(err, target);
    if (put == 0) runtimeError(101);
    done += put;
  }
  if (int err = files.flush(temp.file.handle()); err != 0 && err != EINVAL)  // EINVAL: cannot sync here
    fail(err, target);
  temp.file.close();
  if (int err = files.rename(temp.name, target)) fail(err, target);
  temp.renamed = true;

  // Make the new name itself last; the content is already safe if this cannot be done.
  int dir = ::open(posix::folderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
}

}  // namespace platform
