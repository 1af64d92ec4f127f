// The system calls the file functions make, behind one small interface: the platform's own
// (SystemFiles), or one a test hands in to make a call fail as the system would (a full
// disk, a failed rename) without a full disk.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace platform {

enum class OpenMode {
  read,       // an existing file, to read
  readWrite,  // an existing file, to read and write
  write,      // an existing file, to write over in place
  createNew,  // a new file, to write; fails when the name exists
};

// Each call returns 0 or the system's error number (errno on POSIX, GetLastError() on
// Win32).
class FileSystem {
 public:
  virtual ~FileSystem() = default;
  virtual int open(const std::string& path, OpenMode mode, std::intptr_t& handle) = 0;
  virtual int read(std::intptr_t handle, void* buffer, std::size_t size, std::size_t& got) = 0;
  virtual int write(std::intptr_t handle, const void* data, std::size_t size, std::size_t& put) = 0;
  // Sets aside room for size bytes, so that a full disk shows before the file is touched.
  virtual int reserve(std::intptr_t handle, std::uint64_t size) = 0;
  // Cuts the file to size bytes.
  virtual int truncate(std::intptr_t handle, std::uint64_t size) = 0;
  // Makes what was written last on the disk.
  virtual int flush(std::intptr_t handle) = 0;
  // The handle is gone afterwards, whatever the result.
  virtual int close(std::intptr_t handle) = 0;
  // Puts from in the place of to, replacing it.
  virtual int rename(const std::string& from, const std::string& to) = 0;
};

// The platform's own: the system calls themselves.
class SystemFiles : public FileSystem {
 public:
  int open(const std::string& path, OpenMode mode, std::intptr_t& handle) override;
  int read(std::intptr_t handle, void* buffer, std::size_t size, std::size_t& got) override;
  int write(std::intptr_t handle, const void* data, std::size_t size, std::size_t& put) override;
  int reserve(std::intptr_t handle, std::uint64_t size) override;
  int truncate(std::intptr_t handle, std::uint64_t size) override;
  int flush(std::intptr_t handle) override;
  int close(std::intptr_t handle) override;
  int rename(const std::string& from, const std::string& to) override;
};

// The runtime error for a system error number of an operation on path (on POSIX the
// common errno values as the Win32 numbers).
int runtimeErrorCode(int systemError, const std::string& path = ".");

}  // namespace platform
