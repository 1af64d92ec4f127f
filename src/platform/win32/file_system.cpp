// The file system of Win32: the *A file functions, their errors as they come.
#include "platform/file_system.h"
#include "platform/win32/windows.h"

namespace platform {

namespace {

HANDLE toHandle(std::intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }
int lastError() { return static_cast<int>(GetLastError()); }

}  // namespace

int SystemFiles::open(const std::string& path, OpenMode mode, std::intptr_t& handle) {
  DWORD access = mode == OpenMode::read        ? GENERIC_READ
                 : mode == OpenMode::readWrite ? GENERIC_READ | GENERIC_WRITE
                                               : GENERIC_WRITE;
  // Others may go on reading and writing a file this program has open, as it lets them
  // on POSIX; a temporary file is its own alone (and so cannot be deleted while written).
  DWORD share = mode == OpenMode::createNew ? 0 : FILE_SHARE_READ | FILE_SHARE_WRITE;
  DWORD disposition = mode == OpenMode::createNew ? CREATE_NEW : OPEN_EXISTING;
  HANDLE h = CreateFileA(path.c_str(), access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return lastError();
  handle = reinterpret_cast<std::intptr_t>(h);
  return 0;
}

int SystemFiles::read(std::intptr_t handle, void* buffer, std::size_t size, std::size_t& got) {
  DWORD read = 0;
  if (!ReadFile(toHandle(handle), buffer, static_cast<DWORD>(size), &read, nullptr)) {
    if (GetLastError() != ERROR_BROKEN_PIPE) return lastError();  // the writer's end closed: the end
    read = 0;
  }
  got = read;
  return 0;
}

int SystemFiles::write(std::intptr_t handle, const void* data, std::size_t size, std::size_t& put) {
  DWORD written = 0;
  if (!WriteFile(toHandle(handle), data, static_cast<DWORD>(size), &written, nullptr)) return lastError();
  put = written;
  return 0;
}

int SystemFiles::reserve(std::intptr_t handle, std::uint64_t size) {
  FILE_ALLOCATION_INFO info;
  info.AllocationSize.QuadPart = static_cast<LONGLONG>(size);
  return SetFileInformationByHandle(toHandle(handle), FileAllocationInfo, &info, sizeof info) ? 0 : lastError();
}

int SystemFiles::truncate(std::intptr_t handle, std::uint64_t size) {
  LARGE_INTEGER at;
  at.QuadPart = static_cast<LONGLONG>(size);
  return SetFilePointerEx(toHandle(handle), at, nullptr, FILE_BEGIN) && SetEndOfFile(toHandle(handle)) ? 0
                                                                                                    : lastError();
}

int SystemFiles::flush(std::intptr_t handle) { return FlushFileBuffers(toHandle(handle)) ? 0 : lastError(); }

int SystemFiles::close(std::intptr_t handle) { return CloseHandle(toHandle(handle)) ? 0 : lastError(); }

int SystemFiles::rename(const std::string& from, const std::string& to) {
  // ReplaceFileA gives the new file the old one's attributes, owner and access list.
  if (GetFileAttributesA(to.c_str()) != INVALID_FILE_ATTRIBUTES)
    return ReplaceFileA(to.c_str(), from.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr)
               ? 0
               : lastError();
  return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) ? 0
                                                                                                : lastError();
}

int runtimeErrorCode(int systemError, const std::string&) { return systemError; }

}  // namespace platform
