// Files on POSIX, with the runtime-error convention: a failed operation ends the run.
#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

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
std::string fileOf(const Machine& m, std::string_view name) {
  std::optional<std::string> path = posix::posixPathOf(m, name);
  if (!path) runtimeError(3);
  return *path;
}

// Once per run: a file-size limit then makes the write fail with EFBIG, a runtime error,
// instead of killing the run with the terminal left raw and the temporary file behind.
void ignoreSizeLimitSignal() {
  static const bool done = (::signal(SIGXFSZ, SIG_IGN), true);
  (void)done;
}

File openPlainOrStop(FileSystem& files, const std::string& path, OpenMode mode) {
  std::intptr_t handle;
  if (int err = openPlain(files, path, mode, handle)) fail(err, path);
  return File(files, handle);
}

// Whether a symbolic link may be followed: only one of the running user's or root's, as the
// kernel's protected links and sudoedit decide. Another user's link may point anywhere,
// and following it would write (or show) a file of ours that its owner could not touch.
bool trustedLink(const struct stat& link) { return link.st_uid == ::geteuid() || link.st_uid == 0; }

// A path with every symbolic link on the way (the last name and every folder before it)
// replaced by what it names, resolved once: what is written from here on is named by a path
// without links, opened without following any. A name that is not there ends the walk: the
// rest is taken as it stands, and opening or creating it reports what is missing.
struct Resolved {
  std::string path;
  std::string foreignLink;  // the link of another user's that stopped the walk
};

Resolved resolveLinks(const std::string& path) {
  std::optional<std::string> cwd = path.starts_with('/') ? std::nullopt : posix::workingDirectory();
  std::string whole = cwd ? *cwd + '/' + path : path;
  bool absolute = whole.starts_with('/');
  std::vector<std::string> done;  // the names walked, from the root (or here), none a link
  auto joined = [absolute, &done] {
    std::string joined = absolute ? "" : ".";
    for (const std::string& name : done) joined += '/' + name;
    return joined.empty() ? std::string("/") : joined;
  };
  std::vector<std::string> todo;  // the names still to walk, the next one last
  auto push = [&todo](std::string_view names) {
    std::size_t at = todo.size();
    for (std::size_t i = 0; i <= names.size();) {
      std::size_t end = std::min(names.find('/', i), names.size());
      if (end > i) todo.emplace_back(names.substr(i, end - i));
      i = end + 1;
    }
    std::reverse(todo.begin() + static_cast<std::ptrdiff_t>(at), todo.end());
  };
  push(whole);
  Resolved resolved;
  for (int links = 0; !todo.empty();) {
    std::string name = std::move(todo.back());
    todo.pop_back();
    if (name == ".") continue;
    if (name == "..") {  // no link among the names walked: ".." is the folder they name
      if (!done.empty() && done.back() != "..") done.pop_back();
      else if (!absolute) done.push_back(name);
      continue;
    }
    done.push_back(std::move(name));
    std::string walked = joined();
    struct stat status;
    if (::lstat(walked.c_str(), &status) != 0) break;  // not there: the rest as it stands
    if (!S_ISLNK(status.st_mode)) continue;
    if (!trustedLink(status)) {
      resolved.foreignLink = walked;
      return resolved;
    }
    if (++links > 40) fail(ELOOP, walked);
    std::string link(PATH_MAX, '\0');
    ssize_t n = ::readlink(walked.c_str(), link.data(), link.size());
    if (n < 0) fail(errno, walked);
    link.resize(static_cast<std::size_t>(n));
    done.pop_back();
    if (link.starts_with('/')) {
      done.clear();
      absolute = true;
    }
    push(link);
  }
  while (!todo.empty()) {
    done.push_back(std::move(todo.back()));
    todo.pop_back();
  }
  resolved.path = joined();
  return resolved;
}

// The machine's own path, as a refusal names it.
std::string shownPath(const std::string& path) { return path.starts_with("./") ? path.substr(2) : path; }

// The file a save writes, its links resolved once, and what is there now.
struct Target {
  std::string path;  // without a link on the way
  std::string folder;
  bool exists = false;
  struct stat status {};
};

Target targetOf(const std::string& path) {
  Resolved resolved = resolveLinks(path);
  if (!resolved.foreignLink.empty()) refuse(5, Refusal::foreignLink, shownPath(resolved.foreignLink));
  Target target;
  target.path = resolved.path;
  target.folder = posix::folderOf(target.path);
  if (::lstat(target.path.c_str(), &target.status) != 0) {
    if (errno != ENOENT) fail(errno, target.path);
    return target;  // a new file; a missing folder is reported when it is made
  }
  // Only a plain file is replaced: renaming over a device would destroy it, and a FIFO
  // would hold the run.
  if (!S_ISREG(target.status.st_mode)) fail(S_ISDIR(target.status.st_mode) ? EISDIR : EACCES, target.path);
  target.exists = true;
  return target;
}

bool sameFile(const struct stat& a, const struct stat& b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

constexpr std::string_view temporaryPrefix = ".zorsetup-";
constexpr std::string_view newSuffix = ".tmp";  // new content, never finished: rubbish once its run is gone
constexpr std::string_view copySuffix = ".bak";  // a backup copy: the old content, maybe its only copy
constexpr std::size_t randomDigits = 16;

// Which of ours a name is: a temporary file of new content, a backup copy, or none.
enum class Ours { none, newContent, backupCopy };
Ours oursBy(std::string_view name) {
  if (!name.starts_with(temporaryPrefix) || name.size() != temporaryPrefix.size() + randomDigits + 4) return Ours::none;
  std::string_view digits = name.substr(temporaryPrefix.size(), randomDigits);
  if (digits.find_first_not_of("0123456789abcdef") != std::string_view::npos) return Ours::none;
  std::string_view suffix = name.substr(name.size() - 4);
  return suffix == newSuffix ? Ours::newContent : suffix == copySuffix ? Ours::backupCopy : Ours::none;
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

void flushOrStop(const File& file, const std::string& path) {
  if (int err = file.files().flush(file.handle())) fail(err, path);
}

void writeOrStop(const File& file, std::string_view content, const std::string& path) {
  if (int code = replace::writeAll(file, content, path)) runtimeError(code);
}

// The old file as the save judged it: opened once, its content summed up.
struct Judged {
  File file;  // open for reading: the copy is made from it, the last check reads it again
  FileSummary summary;
};

// Right before the new content takes the name: the name still holds the file that was
// judged (or is still free), with the content that was judged. Anything else, and the save
// stops: an edit made meanwhile is not lost, a name swapped meanwhile is not written.
void stillAsJudged(const Target& target, const Judged& old) {
  struct stat now;
  bool same = ::lstat(target.path.c_str(), &now) == 0 ? target.exists && sameFile(now, target.status)
                                                       : errno == ENOENT && !target.exists;
  FileSummary again;
  if (same && target.exists) {
    if (int code = replace::rewind(old.file)) runtimeError(code);
    if (int code = replace::summarizeOpen(old.file, 0, again)) runtimeError(code);
    same = again.sameContent(old.summary);
  }
  if (!same) refuse(5, Refusal::changedWhileSaving, shownPath(target.path));
}

// Signals wait while the new content takes the name and the backup copy becomes the one
// the handlers keep: no moment in which a handler could remove the only copy of the old
// content, or keep one whose original is still in place.
class SignalsHeld {
 public:
  SignalsHeld() {
    sigset_t all;
    sigfillset(&all);
    ::sigprocmask(SIG_BLOCK, &all, &before_);
  }
  ~SignalsHeld() { ::sigprocmask(SIG_SETMASK, &before_, nullptr); }
  SignalsHeld(const SignalsHeld&) = delete;
  SignalsHeld& operator=(const SignalsHeld&) = delete;

 private:
  sigset_t before_;
};

// From now on the backup copy (if there is one) holds the only old content: a signal makes
// it ZO.BAK, and nothing removes it.
void copyIsNowTheBackup(replace::Temporary* copy, const std::string& backupPath) {
  if (!copy || !copy->made) return;
  copy->kept = true;
  keepOnSignal(copy->name.c_str(), backupPath.c_str());
}

// The careful way: a temporary file beside the target, with the old one's owner, group and
// mode, flushed, then renamed over it. false (and nothing left) where that would lose what
// the old file has: the folder takes no new file, or the owner cannot be given.
bool replaceThroughTemporary(FileSystem& files, const Target& target, const Judged& old, std::string_view content,
                             replace::Temporary* copy, const std::string& backupPath) {
  replace::Temporary temp;
  if (int err = replace::createTemporary(files, target.folder, temp, false)) {
    if (target.exists && (err == EACCES || err == EPERM)) return false;
    fail(err, temp.name);
  }
  int out = static_cast<int>(temp.file.handle());
  if (target.exists && !takeOver(out, target.status)) return false;
  writeOrStop(temp.file, content, target.path);
  flushOrStop(temp.file, target.path);
  temp.file.close();
  stillAsJudged(target, old);
  {
    SignalsHeld held;
    if (int err = files.rename(temp.name, target.path)) fail(err, target.path);
    temp.renamed = true;
    doneWithTemporary(temp.name.c_str());
    copyIsNowTheBackup(copy, backupPath);
  }
  syncFolder(target.folder);
  return true;
}

// Rewrites the old file itself, so that every name and its owner stay: the room is taken
// first (a full disk or a size limit fails before an old byte is touched), then written,
// cut to length, flushed.
void rewriteInPlace(File& out, const Target& target, const Judged& old, std::string_view content,
                    replace::Temporary* copy, const std::string& backupPath) {
  FileSystem& files = out.files();
  std::intptr_t handle = out.handle();
  stillAsJudged(target, old);  // before the room is taken, which may make the file longer
  int reserved = files.reserve(handle, content.size());
  if (reserved != 0 && reserved != EOPNOTSUPP && reserved != ENOSYS) fail(reserved, target.path);  // none here: write on
  copyIsNowTheBackup(copy, backupPath);
  writeOrStop(out, content, target.path);
  if (int err = files.truncate(handle, content.size())) fail(err, target.path);
  flushOrStop(out, target.path);
  out.close();
}

// Writes content as target's new content.
void writeTarget(FileSystem& files, const Target& target, const Judged& old, std::string_view content,
                 replace::Temporary* copy, const std::string& backupPath) {
  File out;
  if (target.exists) {
    std::intptr_t handle;
    int err = openPlain(files, target.path, OpenMode::write, handle);  // read-only stays read-only
    struct stat opened;
    if (err == 0) out = File(files, handle);
    if ((err == 0 ? ::fstat(static_cast<int>(handle), &opened) : ::lstat(target.path.c_str(), &opened)) != 0 ||
        !sameFile(opened, target.status))
      refuse(5, Refusal::changedWhileSaving, shownPath(target.path));
    if (err) fail(err, target.path);
  }
  // With several names a new file would take only this one along.
  bool inPlace = target.exists && target.status.st_nlink > 1;
  if (!inPlace && replaceThroughTemporary(files, target, old, content, copy, backupPath)) return;
  rewriteInPlace(out, target, old, content, copy, backupPath);
}

// What runs killed outright (kill -9, a power cut) left beside the target. A save holds a
// lock on its files as long as they are there, and the lock is what tells: a process id
// says nothing about a run in another PID namespace (a container) writing here too. New
// content left over is rubbish. A backup copy is the old content of a launcher whose save
// was cut short: where the launcher still holds the same, the copy is not needed; else it is
// the one copy of the old launcher and becomes ZO.BAK, as that save would have had it. Only
// a launcher's save (one with a backupPath) finishes a copy, and only one of the launcher's
// owner; any other stays as it is.
void removeLeftovers(FileSystem& files, const Target& target, const std::string& backupPath) {
  DIR* dir = ::opendir(target.folder.c_str());
  if (!dir) return;  // nothing to see: the save itself will say what is wrong
  int at = ::dirfd(dir);
  bool finished = false;
  while (const dirent* entry = ::readdir(dir)) {
    Ours kind = oursBy(entry->d_name);
    if (kind == Ours::none || (kind == Ours::backupCopy && backupPath.empty())) continue;
    int fd = ::openat(at, entry->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) continue;
    File left(files, fd);
    struct stat opened, named;
    // Still the file that was locked, not one that took its name since.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0 || ::fstat(fd, &opened) != 0 || !S_ISREG(opened.st_mode) ||
        ::fstatat(at, entry->d_name, &named, AT_SYMLINK_NOFOLLOW) != 0 || !sameFile(named, opened))
      continue;
    if (kind == Ours::newContent) {
      ::unlinkat(at, entry->d_name, 0);
      continue;
    }
    if (opened.st_uid != (target.exists ? target.status.st_uid : ::geteuid())) continue;
    FileSummary copied, now;
    std::intptr_t handle;
    if (replace::summarizeOpen(left, 0, copied) != 0) continue;
    if (target.exists) {
      if (openPlain(files, target.path, OpenMode::read, handle) != 0) continue;
      File launcher(files, handle);
      if (replace::summarizeOpen(launcher, 0, now) != 0) continue;
    }
    if (now.sameContent(copied)) ::unlinkat(at, entry->d_name, 0);
    else if (!finished) finished = ::renameat(at, entry->d_name, AT_FDCWD, backupPath.c_str()) == 0;
  }
  ::closedir(dir);
}

}  // namespace

// Opens path in mode when it is a plain file; a symbolic link in its last name is not
// followed (the caller resolved the links it may follow). Anything else is refused before
// it is opened (opening a device may do something), and looked at again once open, as the
// name may have changed in between: a folder is EISDIR, the rest EACCES, both access denied.
int openPlain(FileSystem& files, const std::string& path, OpenMode mode, std::intptr_t& handle) {
  struct stat status;
  auto refused = [&status] { return S_ISDIR(status.st_mode) ? EISDIR : EACCES; };
  if (::lstat(path.c_str(), &status) == 0 && !S_ISREG(status.st_mode)) return refused();
  if (int err = files.open(path, mode, handle)) return err;
  if (::fstat(static_cast<int>(handle), &status) == 0 && !S_ISREG(status.st_mode)) {
    files.close(handle);
    return refused();
  }
  return 0;
}

// The signal handlers know a temporary file's name while it is there, and its lock tells
// other runs it is not left over. A backup copy that took the place of the old content is
// kept: ZO.BAK once renamed, else the copy itself, for the next save to finish.
replace::Temporary::~Temporary() {
  file = File();
  if (made && !renamed && !kept) ::unlink(name.c_str());
  if (lock >= 0) ::close(lock);
  if (made) doneWithTemporary(name.c_str());
}

int replace::createTemporary(FileSystem& files, const std::string& folder, Temporary& temp, bool backupCopy) {
  std::string prefix = folder + (folder.back() == '/' ? "" : "/") + std::string(temporaryPrefix);
  for (int attempt = 0;; ++attempt) {
    // Nobody can know the name ahead, so nobody can take it first; O_EXCL never opens
    // what stands there, a link included.
    std::uint64_t random = 0;
    if (::getentropy(&random, sizeof random) != 0) return errno;
    char digits[randomDigits + 1];
    std::snprintf(digits, sizeof digits, "%016llx", static_cast<unsigned long long>(random));
    std::string name = prefix + digits + std::string(backupCopy ? copySuffix : newSuffix);
    std::intptr_t handle;
    // The handlers learn the name before a signal can come: none falls between the file
    // made and the file known.
    SignalsHeld held;
    int err = files.open(name, OpenMode::createNew, handle);
    if (err == EEXIST && attempt < 100) continue;
    if (err != 0) {
      temp.name = name;
      return err;
    }
    temp.name = std::move(name);
    temp.file = File(files, handle);
    temp.made = true;
    ::flock(static_cast<int>(handle), LOCK_EX | LOCK_NB);  // a new file: nobody else holds it
    temp.lock = ::fcntl(static_cast<int>(handle), F_DUPFD_CLOEXEC, 0);
    savingTo(temp.name.c_str());  // the string stays as it is until the temporary goes
    return 0;
  }
}

int replace::rewind(const File& file) {
  return ::lseek(static_cast<int>(file.handle()), 0, SEEK_SET) == 0 ? 0 : runtimeErrorCode(errno);
}

// A DOS name opened as the file it stands for, through the links that may be followed.
int openFile(const Machine& m, std::string_view name, OpenMode mode, File& file, std::string* foreignLink) {
  std::optional<std::string> path = posix::posixPathOf(m, name);
  if (!path) return 3;
  Resolved resolved = resolveLinks(*path);
  if (!resolved.foreignLink.empty()) {
    if (foreignLink) *foreignLink = shownPath(resolved.foreignLink);
    return 5;
  }
  std::intptr_t handle;
  if (int err = openPlain(m.files, resolved.path, mode, handle)) return runtimeErrorCode(err, resolved.path);
  file = File(m.files, handle);
  return 0;
}

Entry entryAt(const Machine& m, std::string_view name) {
  Entry entry;
  std::optional<std::string> path = posix::posixPathOf(m, name);
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

int readFrom(const File& file, void* buffer, std::size_t size, std::size_t& got) {
  for (;;) {
    int err = file.files().read(file.handle(), buffer, size, got);
    if (err != EINTR) return err ? runtimeErrorCode(err) : 0;
  }
}

BackupCopy replaceFile(const Machine& m, std::string_view name, std::string_view content, const ReplaceRules& rules) {
  ignoreSizeLimitSignal();
  Target target = targetOf(fileOf(m, name));
  std::string shown = shownPath(target.path);
  // Beside the file written, in whatever letter case the name is there already.
  std::string backupPath =
      rules.backupName.empty() ? "" : posix::resolveNames(target.folder + '/' + std::string(rules.backupName));
  removeLeftovers(m.files, target, backupPath);
  // What stands there, opened once: what is judged is what is copied, and what the last
  // check before the rename compares with.
  Judged old;
  if (target.exists) {
    old.file = openPlainOrStop(m.files, target.path, OpenMode::read);
    struct stat opened;
    if (::fstat(static_cast<int>(old.file.handle()), &opened) != 0 || !sameFile(opened, target.status))
      refuse(5, Refusal::changedWhileSaving, shown);
    target.status = opened;
    if (int code = replace::summarizeOpen(old.file, rules.keepUpTo, old.summary)) runtimeError(code);
  }
  Verdict verdict = rules.judge ? rules.judge(old.summary) : Verdict::replace;
  if (verdict == Verdict::refuse) refuse(5, Refusal::notATable, shown);
  replace::Temporary copy;
  BackupCopy backup = BackupCopy::notNeeded;
  if (verdict == Verdict::replaceKeepingOld && target.exists && !backupPath.empty()) {
    struct stat there;
    bool folderThere = ::lstat(backupPath.c_str(), &there) == 0 && S_ISDIR(there.st_mode);
    int code = backupPath == target.path || folderThere ? 5 : replace::copyOldContent(old.file, old.summary, target.folder, copy);
    if (code == -1) refuse(5, Refusal::changedWhileSaving, shown);
    if (code != 0) refuse(code, Refusal::noBackup, shown);
    backup = BackupCopy::kept;
    // With the old one's owner, group and mode as far as they can be given.
    takeOver(static_cast<int>(copy.file.handle()), target.status);
  }
  writeTarget(m.files, target, old, content, backup == BackupCopy::kept ? &copy : nullptr, backupPath);
  if (backup != BackupCopy::kept) return backup;
  int code = copy.file.tryClose();
  {
    SignalsHeld held;
    if (code == 0) code = m.files.rename(copy.name, backupPath);
    copy.renamed = true;  // ZO.BAK now, or else the one copy of the old launcher: kept either way
    doneWithTemporary(copy.name.c_str());
  }
  if (code != 0) refuse(runtimeErrorCode(code, backupPath), Refusal::backupLeftAs, shownPath(copy.name));
  syncFolder(posix::folderOf(backupPath));
  return backup;
}

}  // namespace platform
