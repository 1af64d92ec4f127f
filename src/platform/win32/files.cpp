// Paths and files on Win32. File names are bytes of the OEM code page, as the console
// shows them, so the *A functions are switched to OEM before the first use.
#include <cstdio>
#include <string>

#include "platform/file_system.h"
#include "platform/platform.h"
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

// A name in the same directory as target that does not exist yet, created empty.
File createTemporary(std::string_view target, std::string& tempName) {
  std::string_view directory = target.substr(0, target.find_last_of("\\/:") + 1);
  // Names differ within the run too, should one be left where another is made.
  static unsigned counter = 0;
  for (int attempt = 0; attempt < 1000; ++attempt) {
    char name[24];
    std::snprintf(name, sizeof name, "ZOR%05X.$$$", static_cast<unsigned>((GetCurrentProcessId() * 31 + ++counter) & 0xFFFFF));
    tempName = std::string(directory) + name;
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
  if (int error = fileSystem().open(terminated(name), OpenMode::read, handle)) runtimeError(error);
  return File(handle);
}

bool tryOpenReadWrite(std::string_view name, File& file) {
  useOemNames();
  std::intptr_t handle;
  if (fileSystem().open(terminated(name), OpenMode::readWrite, handle) != 0) return false;
  file = File(handle);
  return true;
}

std::size_t readSome(const File& file, void* buffer, std::size_t size) {
  std::size_t got = 0;
  if (int error = fileSystem().read(file.handle(), buffer, size, got)) runtimeError(error);
  return got;
}

void replaceFile(std::string_view name, std::string_view content) {
  useOemNames();
  std::string target = terminated(name);
  // Writing over these is refused as creating them anew would be, whatever the rename
  // (or a file system that lets the owner rename over anything) would allow.
  DWORD attributes = GetFileAttributesA(target.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)))
    runtimeError(ERROR_ACCESS_DENIED);
  FileSystem& files = fileSystem();
  Temporary temp;
  temp.file = createTemporary(target, temp.name);
  std::size_t written = 0;
  if (int error = files.write(temp.file.handle(), content.data(), content.size(), written)) runtimeError(error);
  if (written != content.size()) runtimeError(101);
  if (int error = files.flush(temp.file.handle())) runtimeError(error);
  temp.file.close();
  if (int error = files.rename(temp.name, target)) runtimeError(error);
  temp.renamed = true;
}

}  // namespace platform
