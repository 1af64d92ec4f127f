// Paths and files on Win32. File names are bytes of the OEM code page, as the console
// shows them, so the *A functions are switched to OEM before the first use.
#include <cstdint>
#include <cstdio>
#include <string>
#include <utility>

#include "base/ascii.h"
#include "platform/file_system.h"
#include "platform/native.h"
#include "platform/platform.h"
#include "platform/replace.h"
#include "platform/win32/windows.h"

namespace platform {

namespace {

void useOemNames() {
  static const bool done = (SetFileApisToOEM(), true);
  (void)done;
}

// The *A functions want a terminated name; a short string has room for 255 bytes only.
std::string terminated(std::string_view name) { return std::string(name); }

bool hasWildcard(std::string_view path) { return path.find_first_of("*?") != std::string_view::npos; }

std::string directoryOf(std::string_view path) { return std::string(path.substr(0, path.find_last_of("\\/:") + 1)); }

// Temporary files are named "ZOR", five hex digits, ".$$$".
bool isTemporaryName(std::string_view name) {
  return name.size() == 12 && name.starts_with("ZOR") && name.ends_with(".$$$") &&
         name.substr(3, 5).find_first_not_of("0123456789ABCDEF") == std::string_view::npos;
}

// Removes what runs killed outright left in directory. The file of a save in progress is
// open without delete sharing, so a running save's file cannot be taken away here.
void removeLeftovers(const std::string& directory) {
  WIN32_FIND_DATAA found;
  HANDLE h = FindFirstFileA((directory + "ZOR?????.$$$").c_str(), &found);
  if (h == INVALID_HANDLE_VALUE) return;
  do {
    if (isTemporaryName(found.cFileName)) DeleteFileA((directory + found.cFileName).c_str());
  } while (FindNextFileA(h, &found));
  FindClose(h);
}

// A name in the same directory as target that does not exist yet, created empty.
File createTemporary(const std::string& directory, std::string& tempName) {
  // Names differ within the run too, should one be left where another is made.
  static unsigned counter = 0;
  for (int attempt = 0; attempt < 1000; ++attempt) {
    char name[24];
    std::snprintf(name, sizeof name, "ZOR%05X.$$$", static_cast<unsigned>((GetCurrentProcessId() * 31 + ++counter) & 0xFFFFF));
    tempName = directory + name;
    std::intptr_t handle;
    int error = fileSystem().open(tempName, OpenMode::createNew, handle);
    if (error == 0) return File(handle);
    if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) runtimeError(error);
  }
  runtimeError(ERROR_FILE_EXISTS);
}

// The temporary file of a replace: removed when the replace gives up.
struct Temporary {
  File file;
  std::string name;
  bool renamed = false;
  ~Temporary() {
    file = File();  // closed first: an open file cannot be deleted here
    if (!renamed) DeleteFileA(name.c_str());
  }
};

// Whether the handle is a file on a disk, not a device (CON, NUL, a pipe).
bool onDisk(std::intptr_t handle) { return GetFileType(reinterpret_cast<HANDLE>(handle)) == FILE_TYPE_DISK; }

// Opens a plain file: 0, or the error (a device is access denied).
int openPlain(const std::string& name, OpenMode mode, std::intptr_t& handle) {
  if (int error = fileSystem().open(name, mode, handle)) return error;
  if (onDisk(handle)) return 0;
  fileSystem().close(handle);
  return ERROR_ACCESS_DENIED;
}

// Whether target exists; what may not be replaced (read-only, a folder, a device) stops
// the run, whatever the rename (or a file system that lets the owner rename over anything)
// would allow.
bool replaceable(const std::string& target) {
  DWORD attributes = GetFileAttributesA(target.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return false;
  if (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) runtimeError(ERROR_ACCESS_DENIED);
  HANDLE h = CreateFileA(target.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, 0, nullptr);
  if (h != INVALID_HANDLE_VALUE) {
    bool device = GetFileType(h) != FILE_TYPE_DISK;
    CloseHandle(h);
    if (device) runtimeError(ERROR_ACCESS_DENIED);
  }
  return true;
}

std::string fullPathOf(const std::string& name) {
  char full[MAX_PATH + 1];
  DWORD length = GetFullPathNameA(name.c_str(), sizeof full, full, nullptr);
  return length > 0 && length < sizeof full ? std::string(full, length) : name;
}

// Written whole to a temporary file, flushed, then put in target's place (ReplaceFileA for
// an existing file keeps its attributes, owner and access list).
void writeReplacing(const std::string& name, replace::Content& content) {
  // Whole paths: Wine's ReplaceFileA finds no directory in a bare name.
  std::string target = fullPathOf(name);
  std::string directory = directoryOf(target);
  DWORD attributes = GetFileAttributesA(target.c_str());
  removeLeftovers(directory);
  FileSystem& files = fileSystem();
  Temporary temp;
  temp.file = createTemporary(directory, temp.name);
  replace::writeAll(temp.file.handle(), content, target);
  if (int error = files.flush(temp.file.handle())) runtimeError(error);
  temp.file.close();
  // Given to the new file here as well: Wine's ReplaceFileA does not carry them over.
  constexpr DWORD kept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE;
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & kept))
    SetFileAttributesA(temp.name.c_str(), attributes & kept);
  if (int error = files.rename(temp.name, target)) runtimeError(error);
  temp.renamed = true;
}

std::uint64_t sizeOf(const File& file) {
  LARGE_INTEGER size;
  if (!GetFileSizeEx(reinterpret_cast<HANDLE>(file.handle()), &size)) runtimeError(static_cast<int>(GetLastError()));
  return static_cast<std::uint64_t>(size.QuadPart);
}

}  // namespace

Str currentDirectory() {
  useOemNames();
  char buffer[MAX_PATH + 1];
  DWORD length = GetCurrentDirectoryA(sizeof buffer, buffer);
  if (length == 0 || length >= sizeof buffer) return Str();
  return Str(std::string_view(buffer, length));
}

Str expandPath(std::string_view path) {
  if (path.empty()) return currentDirectory();
  useOemNames();
  char buffer[MAX_PATH + 1];
  DWORD length = GetFullPathNameA(terminated(path).c_str(), sizeof buffer, buffer, nullptr);
  if (length == 0 || length >= sizeof buffer) return Str(path);
  return Str(std::string_view(buffer, length));
}

bool findEntry(std::string_view path, Str* storedName) {
  // A pattern would list other names; no entry's name holds these characters.
  if (path.empty() || hasWildcard(path)) return false;
  useOemNames();
  WIN32_FIND_DATAA found;
  HANDLE h = FindFirstFileA(terminated(path).c_str(), &found);
  if (h == INVALID_HANDLE_VALUE) return false;
  FindClose(h);
  if (storedName) *storedName = found.cFileName;
  return true;
}

File openRead(std::string_view name) {
  useOemNames();
  std::intptr_t handle;
  if (int error = openPlain(terminated(name), OpenMode::read, handle)) runtimeError(error);
  return File(handle);
}

namespace {

bool tryOpen(std::string_view name, OpenMode mode, File& file) {
  useOemNames();
  std::intptr_t handle;
  if (openPlain(terminated(name), mode, handle) != 0) return false;
  file = File(handle);
  return true;
}

}  // namespace

bool tryOpenRead(std::string_view name, File& file) { return tryOpen(name, OpenMode::read, file); }

bool tryOpenReadWrite(std::string_view name, File& file) { return tryOpen(name, OpenMode::readWrite, file); }

Entry entryAt(std::string_view name) {
  useOemNames();
  Entry entry;
  std::string path = terminated(name);
  if (path.empty() || hasWildcard(path)) return entry;
  WIN32_FIND_DATAA found;
  HANDLE h = FindFirstFileA(path.c_str(), &found);
  if (h != INVALID_HANDLE_VALUE) {
    FindClose(h);
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
      entry = {EntryKind::plainFile, (std::uint64_t{found.nFileSizeHigh} << 32) | found.nFileSizeLow};
  } else if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES &&  // a device is there, unlisted
             directoryExists(directoryOf(fullPathOf(path)))) {
    entry.kind = EntryKind::free;
  }
  return entry;
}

std::size_t readSome(const File& file, void* buffer, std::size_t size) {
  std::size_t got = 0;
  if (int error = fileSystem().read(file.handle(), buffer, size, got)) runtimeError(error);
  return got;
}

BackupCopy replaceFile(std::string_view name, std::string_view content, std::string_view backupName) {
  useOemNames();
  std::string target = terminated(name);
  bool exists = replaceable(target);
  // The old content, held open (so no other run takes it for a leftover) until the new
  // content is in place, then renamed to backupName.
  Temporary copy;
  std::string backupPath;
  BackupCopy backup = BackupCopy::notNeeded;
  if (!backupName.empty() && exists) {
    std::string full = fullPathOf(target);
    backupPath = directoryOf(full) + std::string(backupName);
    backup = ascii::sameIgnoringCase(backupPath, full) ? BackupCopy::failed : replace::tryBackup([&] {
      replaceable(backupPath);  // a folder there would be moved aside, not replaced
      copy.file = createTemporary(directoryOf(full), copy.name);
      File old = openRead(target);
      replace::Content oldContent(old, sizeOf(old));
      replace::writeAll(copy.file.handle(), oldContent, backupPath);
      if (int error = fileSystem().flush(copy.file.handle())) runtimeError(error);
    });
  }
  replace::Content text(content);
  writeReplacing(target, text);  // a failure here leaves the backup name as it was
  if (backup == BackupCopy::kept) {
    if (replace::tryBackup([&] { copy.file.close(); }) == BackupCopy::failed ||
        fileSystem().rename(copy.name, backupPath) != 0)
      return BackupCopy::failed;
    copy.renamed = true;
  }
  return backup;
}

}  // namespace platform
