// Paths and files on Win32. File names are bytes of the OEM code page, as the console
// shows them, so the *A functions are switched to OEM before the first use.
#include <cstdio>
#include <string>

#include "platform/platform.h"
#include "platform/win32/fault_check.h"
#include "platform/win32/windows.h"

namespace platform {

namespace {

using fault::Op;

// True when a test has asked this operation to fail; the error is then the last error.
bool injected(Op op) {
  int error = fault::takeFailure(op);
  if (error < 0) return false;
  SetLastError(static_cast<DWORD>(error));
  return true;
}

HANDLE createFile(Op op, const std::string& name, DWORD access, DWORD share, DWORD disposition) {
  if (injected(op)) return INVALID_HANDLE_VALUE;
  return CreateFileA(name.c_str(), access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
}

// A close that fails still lets the handle go, as CloseHandle does.
bool closeHandle(HANDLE h) {
  if (!injected(Op::Close)) return CloseHandle(h);
  DWORD error = GetLastError();
  CloseHandle(h);
  SetLastError(error);
  return false;
}

void useOemNames() {
  static const bool done = (SetFileApisToOEM(), true);
  (void)done;
}

// The *A functions want a terminated name; a short string has room for 255 bytes only.
std::string terminated(std::string_view name) { return std::string(name); }

HANDLE toHandle(File file) { return reinterpret_cast<HANDLE>(file.handle); }
File toFile(HANDLE handle) { return File{reinterpret_cast<std::intptr_t>(handle)}; }

[[noreturn]] void lastError() { runtimeError(static_cast<int>(GetLastError())); }

bool hasWildcard(std::string_view path) { return path.find_first_of("*?") != std::string_view::npos; }

// A name in the same directory as target that does not exist yet, created empty.
HANDLE createTemporary(std::string_view target, std::string& tempName) {
  std::string_view directory = target.substr(0, target.find_last_of("\\/:") + 1);
  static unsigned counter = 0;
  for (int attempt = 0; attempt < 1000; ++attempt) {
    char name[24];
    std::snprintf(name, sizeof name, "ZOR%05X.$$$", static_cast<unsigned>((GetCurrentProcessId() * 31 + ++counter) & 0xFFFFF));
    tempName = std::string(directory) + name;
    HANDLE h = createFile(Op::Create, tempName, GENERIC_WRITE, 0, CREATE_NEW);
    if (h != INVALID_HANDLE_VALUE) return h;
    DWORD error = GetLastError();
    if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) runtimeError(static_cast<int>(error));
  }
  runtimeError(ERROR_FILE_EXISTS);
}

// Removes the temporary file, then stops the run with the error that came first.
[[noreturn]] void dropTemporary(HANDLE h, const std::string& tempName, DWORD error) {
  if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
  DeleteFileA(tempName.c_str());
  runtimeError(static_cast<int>(error));
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
  HANDLE h = createFile(Op::Open, terminated(name), GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
  if (h == INVALID_HANDLE_VALUE) lastError();
  return toFile(h);
}

bool tryOpenReadWrite(std::string_view name, File& file) {
  useOemNames();
  HANDLE h = createFile(Op::Open, terminated(name), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, OPEN_EXISTING);
  if (h == INVALID_HANDLE_VALUE) return false;
  file = toFile(h);
  return true;
}

std::size_t readSome(File file, void* buffer, std::size_t size) {
  DWORD read = 0;
  if (injected(Op::Read) || !ReadFile(toHandle(file), buffer, static_cast<DWORD>(size), &read, nullptr))
    lastError();
  return read;
}

void readBlock(File file, void* buffer, std::size_t size) {
  auto* bytes = static_cast<char*>(buffer);
  std::size_t got = 0;
  while (got < size) {
    std::size_t n = readSome(file, bytes + got, size - got);
    if (n == 0) runtimeError(100);
    got += n;
  }
}

void close(File file) {
  if (!closeHandle(toHandle(file))) lastError();
}

void replaceFile(std::string_view name, std::string_view content) {
  useOemNames();
  std::string target = terminated(name);
  // Writing over these is refused as creating them anew would be, whatever the rename
  // (or a file system that lets the owner rename over anything) would allow.
  DWORD attributes = GetFileAttributesA(target.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)))
    runtimeError(ERROR_ACCESS_DENIED);
  std::string tempName;
  HANDLE h = createTemporary(target, tempName);
  DWORD written = 0;
  int shortWrite = fault::takeFailure(Op::Write);  // 0: a write that puts nothing
  if (shortWrite > 0) dropTemporary(h, tempName, static_cast<DWORD>(shortWrite));
  if (shortWrite < 0 && !WriteFile(h, content.data(), static_cast<DWORD>(content.size()), &written, nullptr))
    dropTemporary(h, tempName, GetLastError());
  if (written != content.size()) dropTemporary(h, tempName, 101);
  if (injected(Op::Flush) || !FlushFileBuffers(h)) dropTemporary(h, tempName, GetLastError());
  if (!closeHandle(h)) dropTemporary(INVALID_HANDLE_VALUE, tempName, GetLastError());
  if (injected(Op::Rename) ||
      !MoveFileExA(tempName.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    dropTemporary(INVALID_HANDLE_VALUE, tempName, GetLastError());
}

}  // namespace platform
