// A file system for the tests that makes the next call of one kind fail the way the system
// would fail it, so that the failure paths (runtime error, old file kept, temporary file
// removed) can be seen without a full disk. Every other call goes to the system's own.
// A test hands it in: platform::machineOf(files).
#pragma once

#include <array>
#include <functional>

#include "platform/error_number.h"
#include "platform/file_system.h"

namespace test {

enum class FileOp { Create, Write, Flush, Close, Rename, Open, Read, Reserve, Truncate };

class FailingFiles : public platform::FileSystem {
 public:
  // The next call of this kind fails with errnoValue (on Win32 with the Win32 number the
  // POSIX build reports for it, so a test expects the same runtime error from both). For
  // Write, 0 makes the write put no bytes at all (a short write) instead of failing.
  void failNext(FileOp op, int errnoValue) { pending_[static_cast<std::size_t>(op)] = errnoValue; }
  // Called first in every call: a test swaps names, plants files or ends the run there.
  std::function<void(FileOp)> onCall;

  int open(const std::string& path, platform::OpenMode mode, std::intptr_t& handle) override {
    int error = take(mode == platform::OpenMode::createNew ? FileOp::Create : FileOp::Open);
    return error >= 0 ? systemError(error) : real_.open(path, mode, handle);
  }
  int read(std::intptr_t handle, void* buffer, std::size_t size, std::size_t& got) override {
    int error = take(FileOp::Read);
    return error >= 0 ? systemError(error) : real_.read(handle, buffer, size, got);
  }
  int write(std::intptr_t handle, const void* data, std::size_t size, std::size_t& put) override {
    int error = take(FileOp::Write);
    if (error == 0) put = 0;
    return error >= 0 ? systemError(error) : real_.write(handle, data, size, put);
  }
  int reserve(std::intptr_t handle, std::uint64_t size) override {
    int error = take(FileOp::Reserve);
    return error >= 0 ? systemError(error) : real_.reserve(handle, size);
  }
  int truncate(std::intptr_t handle, std::uint64_t size) override {
    int error = take(FileOp::Truncate);
    return error >= 0 ? systemError(error) : real_.truncate(handle, size);
  }
  int flush(std::intptr_t handle) override {
    int error = take(FileOp::Flush);
    return error >= 0 ? systemError(error) : real_.flush(handle);
  }
  // A close that fails still lets the handle go, as the system's does.
  int close(std::intptr_t handle) override {
    int error = take(FileOp::Close);
    int result = real_.close(handle);
    return error >= 0 ? systemError(error) : result;
  }
  int rename(const std::string& from, const std::string& to) override {
    int error = take(FileOp::Rename);
    return error >= 0 ? systemError(error) : real_.rename(from, to);
  }

 private:
  static int systemError(int errnoValue) {
#ifdef _WIN32
    return platform::win32ErrorOf(errnoValue);
#else
    return errnoValue;
#endif
  }

  // The errno value the next call of this kind is to fail with, -1 when it is to run.
  int take(FileOp op) {
    if (onCall) onCall(op);
    int& slot = pending_[static_cast<std::size_t>(op)];
    int error = slot;
    slot = -1;
    return error;
  }

  platform::SystemFiles real_;
  std::array<int, 9> pending_ = {-1, -1, -1, -1, -1, -1, -1, -1, -1};
};

}  // namespace test
