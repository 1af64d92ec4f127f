// Files on POSIX, with the runtime-error convention: a failed operation ends the run.
#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdint>
#include <string>

#include "platform/file_system.h"
#include "platform/leftovers.h"
#include "platform/platform.h"
#include "platform/posix/dos_view.h"
#include "platform/posix/file_system.h"
#include "platform/replace.h"

namespace platform {

namespace {

[[noreturn]] void fail(int err, const std::string& path = ".") { runtimeError(runtimeErrorCode(err, path)); }

// The file a DOS name stands for. A drive that is not mapped holds nothing: path not found.
std::string fileOf(std::string_view name) {
  std::optional<std::string> path = posix::posixPathOf(name);
  if (!path) runtimeError(3);
  return *path;
}

// Once per run: a file-size limit then makes the write fail with EFBIG, a runtime error,
// instead of killing the run with the terminal left raw and the temporary file behind.
void ignoreSizeLimitSignal() {
  static const bool done = (::signal(SIGXFSZ, SIG_IGN), true);
  (void)done;
}

// Opens path in mode when it is a plain file. Anything else is refused before it is opened
// (opening a device may do something), and looked at again once open, as the name may have
// changed in between: a folder is EISDIR, the rest EACCES, both access denied.
int openPlain(const std::string& path, OpenMode mode, std::intptr_t& handle) {
  struct stat status;
  auto refused = [&status] { return S_ISDIR(status.st_mode) ? EISDIR : EACCES; };
  if (::stat(path.c_str(), &status) == 0 && !S_ISREG(status.st_mode)) return refused();
  if (int err = fileSystem().open(path, mode, handle)) return err;
  if (::fstat(static_cast<int>(handle), &status) == 0 && !S_ISREG(status.st_mode)) {
    fileSystem().close(handle);
    return refused();
  }
  return 0;
}

File openPlainOrStop(const std::string& path, OpenMode mode) {
  std::intptr_t handle;
  if (int err = openPlain(path, mode, handle)) fail(err, path);
  return File(handle);
}

// The file a save writes: the name with its symbolic links followed (also to a file that
// does not exist yet), and what is there now.
struct Target {
  std::string path;
  bool exists = false;
  struct stat status {};
};

Target targetOf(std::string path) {
  Target target;
  for (int links = 0;; ++links) {
    if (::lstat(path.c_str(), &target.status) != 0) {
      if (errno != ENOENT) fail(errno, path);
      target.path = path;  // a new file; a missing folder is reported when it is made
      return target;
    }
    if (!S_ISLNK(target.status.st_mode)) break;
    if (links == 40) fail(ELOOP, path);
    std::string link(PATH_MAX, '\0');
    ssize_t n = ::readlink(path.c_str(), link.data(), link.size());
    if (n < 0) fail(errno, path);
    link.resize(static_cast<std::size_t>(n));
    path = link.starts_with('/') ? link : posix::folderOf(path) + '/' + link;
  }
  // Only a plain file is replaced: renaming over a device would destroy it, and a FIFO
  // would hold the run.
  if (!S_ISREG(target.status.st_mode)) fail(S_ISDIR(target.status.st_mode) ? EISDIR : EACCES, path);
  target.path = path;
  target.exists = true;
  return target;
}

constexpr std::string_view temporaryPrefix = ".zorsetup-";
constexpr std::string_view temporarySuffix = ".tmp";

// The process that made a temporary file of ours, from its name ".zorsetup-PID-N.tmp";
// 0 when the name is none of ours.
pid_t makerOf(std::string_view name) {
  if (!name.starts_with(temporaryPrefix) || !name.ends_with(temporarySuffix)) return 0;
  name.remove_prefix(temporaryPrefix.size());
  name.remove_suffix(temporarySuffix.size());
  std::size_t dash = name.find('-');
  if (dash == 0 || dash == std::string_view::npos || dash > 9 || dash + 1 == name.size()) return 0;
  auto digits = [](std::string_view s) { return s.find_first_not_of("0123456789") == std::string_view::npos; };
  if (!digits(name.substr(0, dash)) || !digits(name.substr(dash + 1))) return 0;
  return static_cast<pid_t>(std::stol(std::string(name.substr(0, dash))));
}

// Removes what runs killed outright (kill -9, a power cut) left in folder. A save holds a
// lock on its temporary file as long as it is there, and the lock is what tells: a process
// id says nothing about a run in another PID namespace (a container) writing here too.
void removeLeftovers(const std::string& folder) {
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return;  // nothing to see: the save itself will say what is wrong
  int at = ::dirfd(dir);
  while (const dirent* entry = ::readdir(dir)) {
    if (makerOf(entry->d_name) == 0) continue;
    int fd = ::openat(at, entry->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) continue;
    struct stat opened, named;
    // Still the file that was locked, not one that took its name since.
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::fstat(fd, &opened) == 0 && S_ISREG(opened.st_mode) &&
        ::fstatat(at, entry->d_name, &named, AT_SYMLINK_NOFOLLOW) == 0 && named.st_ino == opened.st_ino &&
        named.st_dev == opened.st_dev)
      ::unlinkat(at, entry->d_name, 0);
    ::close(fd);
  }
  ::closedir(dir);
}

// The temporary file of a replace: removed when the replace gives up. The signal handlers
// know its name while it is there, and its lock tells other runs it is not left over.
struct Temporary {
  File file;
  std::string name;
  int lock = -1;  // a second descriptor of the file: the lock outlives closing the file
  bool made = false;
  bool renamed = false;
  Temporary() = default;
  Temporary(const Temporary&) = delete;
  Temporary& operator=(const Temporary&) = delete;
  ~Temporary() {
    file = File();
    if (made && !renamed) ::unlink(name.c_str());
    if (lock >= 0) ::close(lock);
    if (made) doneWithTemporary(name.c_str());
  }
};

// Makes a new temporary file in folder: 0 or the error of the last attempt.
int createTemporary(const std::string& folder, Temporary& temp) {
  // Names differ within the run too, should one be left where another is made.
  static unsigned serial = 0;
  std::string prefix = folder + (folder.back() == '/' ? "" : "/") + std::string(temporaryPrefix) +
                       std::to_string(::getpid()) + '-';
  for (int attempt = 0;; ++attempt) {
    std::string name = prefix + std::to_string(serial++) + std::string(temporarySuffix);
    std::intptr_t handle;
    int err = fileSystem().open(name, OpenMode::createNew, handle);
    if (err == EEXIST && attempt < 100) continue;
    if (err != 0) {
      temp.name = name;
      return err;
    }
    temp.name = std::move(name);
    temp.file = File(handle);
    temp.made = true;
    ::flock(static_cast<int>(handle), LOCK_EX | LOCK_NB);  // a new file: nobody else holds it
    temp.lock = ::fcntl(static_cast<int>(handle), F_DUPFD_CLOEXEC, 0);
    savingTo(temp.name.c_str());  // the string stays as it is until the temporary goes
    return 0;
  }
}

// Gives the new file the owner, group and mode of the old one; false where it cannot.
bool takeOver(int out, const struct stat& old) {
  struct stat now;
  bool owned = ::fstat(out, &now) == 0 && ((now.st_uid == old.st_uid && now.st_gid == old.st_gid) ||
                                            ::fchown(out, old.st_uid, old.st_gid) == 0);
  // After the owner: a new owner clears the set-user and set-group bits.
  return ::fchmod(out, old.st_mode & 07777) == 0 && owned;
}

void syncFolder(const std::string& folder) {
  // Makes the new name itself last; the content is already safe if this cannot be done.
  int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
}

void flushOrStop(std::intptr_t handle, const std::string& path) {
  if (int err = fileSystem().flush(handle); err != 0 && err != EINVAL)  // EINVAL: cannot sync here
    fail(err, path);
}

// The careful way: a temporary file beside the target, with the old one's owner, group and
// mode, flushed, then renamed over it. false (and nothing left) where that would lose what
// the old file has: the folder takes no new file, or the owner cannot be given.
bool replaceThroughTemporary(const Target& target, replace::Content& content) {
  std::string folder = posix::folderOf(target.path);
  removeLeftovers(folder);
  Temporary temp;
  if (int err = createTemporary(folder, temp)) {
    if (target.exists && (err == EACCES || err == EPERM)) return false;
    fail(err, temp.name);
  }
  int out = static_cast<int>(temp.file.handle());
  if (target.exists && !takeOver(out, target.status)) return false;
  replace::writeAll(temp.file.handle(), content, target.path);
  flushOrStop(temp.file.handle(), target.path);
  temp.file.close();
  if (int err = fileSystem().rename(temp.name, target.path)) fail(err, target.path);
  temp.renamed = true;
  syncFolder(folder);
  return true;
}

// Rewrites the old file itself, so that every name and its owner stay: the room is taken
// first (a full disk or a size limit fails before an old byte is touched), then written,
// cut to length, flushed.
void rewriteInPlace(File& old, replace::Content& content, const std::string& path) {
  FileSystem& files = fileSystem();
  std::intptr_t handle = old.handle();
  int reserved = files.reserve(handle, content.size());
  if (reserved != 0 && reserved != EOPNOTSUPP && reserved != ENOSYS) fail(reserved, path);  // none here: write on
  replace::writeAll(handle, content, path);
  if (int err = files.truncate(handle, content.size())) fail(err, path);
  flushOrStop(handle, path);
  old.close();
}

// Writes content as target's new content.
void writeTarget(const Target& target, replace::Content& content) {
  File old;
  if (target.exists) old = openPlainOrStop(target.path, OpenMode::write);  // read-only stays read-only
  // With several names a new file would take only this one along.
  bool inPlace = target.exists && target.status.st_nlink > 1;
  if (!inPlace && replaceThroughTemporary(target, content)) return;
  rewriteInPlace(old, content, target.path);
}

// The old content of target in a temporary file beside it, with its owner, group and mode
// as far as they can be given: kept, or failed (and nothing left) when it cannot be made.
BackupCopy copyOldContent(const Target& target, Temporary& copy) {
  return replace::tryBackup([&] {
    if (int err = createTemporary(posix::folderOf(target.path), copy)) fail(err, copy.name);
    takeOver(static_cast<int>(copy.file.handle()), target.status);
    File old = openPlainOrStop(target.path, OpenMode::read);
    replace::Content content(old, static_cast<std::uint64_t>(target.status.st_size));
    replace::writeAll(copy.file.handle(), content, copy.name);
    flushOrStop(copy.file.handle(), copy.name);
    copy.file.close();
  });
}

}  // namespace

bool tryOpen(std::string_view name, OpenMode mode, File& file) {
  std::optional<std::string> path = posix::posixPathOf(name);
  if (!path) return false;
  std::intptr_t handle;
  if (openPlain(*path, mode, handle) != 0) return false;
  file = File(handle);
  return true;
}

File openRead(std::string_view name) { return openPlainOrStop(fileOf(name), OpenMode::read); }

bool tryOpenRead(std::string_view name, File& file) { return tryOpen(name, OpenMode::read, file); }

bool tryOpenReadWrite(std::string_view name, File& file) { return tryOpen(name, OpenMode::readWrite, file); }

Entry entryAt(std::string_view name) {
  Entry entry;
  std::optional<std::string> path = posix::posixPathOf(name);
  struct stat status;
  if (!path || path->empty()) return entry;
  if (::lstat(path->c_str(), &status) != 0) {
    if (errno == ENOENT && ::stat(posix::folderOf(*path).c_str(), &status) == 0 && S_ISDIR(status.st_mode))
      entry.kind = EntryKind::free;
  } else if (::stat(path->c_str(), &status) == 0 && S_ISREG(status.st_mode)) {
    entry = {EntryKind::plainFile, static_cast<std::uint64_t>(status.st_size)};
  }
  return entry;
}

std::size_t readSome(const File& file, void* buffer, std::size_t size) {
  for (;;) {
    std::size_t got = 0;
    int err = fileSystem().read(file.handle(), buffer, size, got);
    if (err == 0) return got;
    if (err != EINTR) fail(err);
  }
}

BackupCopy replaceFile(std::string_view name, std::string_view content, std::string_view backupName) {
  ignoreSizeLimitSignal();
  Target target = targetOf(fileOf(name));
  Temporary copy;
  std::string backupPath;
  BackupCopy backup = BackupCopy::notNeeded;
  if (!backupName.empty() && target.exists) {
    // Beside the file written, in whatever letter case the name is there already.
    backupPath = posix::resolveNames(posix::folderOf(target.path) + '/' + std::string(backupName));
    backup = backupPath == target.path ? BackupCopy::failed : copyOldContent(target, copy);
  }
  replace::Content text(content);
  writeTarget(target, text);  // a failure here leaves the backup name as it was
  if (backup == BackupCopy::kept) {
    if (fileSystem().rename(copy.name, backupPath) != 0) return BackupCopy::failed;
    copy.renamed = true;
    syncFolder(posix::folderOf(backupPath));
  }
  return backup;
}

}  // namespace platform
