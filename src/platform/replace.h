// What the file functions of both platforms share (files.cpp), and the steps each platform
// gives them (posix/, win32/). A step gives 0 or the runtime error it met: the caller that
// stops the run raises it, the backup copy, which must not stop the save, drops it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/file_system.h"
#include "platform/platform.h"

namespace platform {

// --- each platform's -------------------------------------------------------------------

// Opens the plain file a DOS name stands for.
int openFile(std::string_view name, OpenMode mode, File& file);
// Opens the plain file at the platform's own path: 0 or the system's error number.
int openPlain(const std::string& path, OpenMode mode, std::intptr_t& handle);
// Reads up to size bytes into buffer; got is 0 at the end.
int readFrom(const File& file, void* buffer, std::size_t size, std::size_t& got);

namespace replace {

// The temporary file of a replace, beside the file written: removed unless it took a name.
struct Temporary {
  File file;
  std::string name;
  int lock = -1;  // POSIX: a second descriptor, whose lock outlives closing the file
  bool made = false;
  bool renamed = false;
  Temporary() = default;
  Temporary(const Temporary&) = delete;
  Temporary& operator=(const Temporary&) = delete;
  ~Temporary();
};

// Makes a new temporary file in folder: 0 or the system's error number of the last attempt.
int createTemporary(const std::string& folder, Temporary& temp);
int sizeOf(const File& file, std::uint64_t& size);

// --- shared ----------------------------------------------------------------------------

// The content written: text in memory, or a whole file copied piece by piece.
class Content {
 public:
  explicit Content(std::string_view text) : text_(text), size_(text.size()) {}
  // The whole file, read in pieces: a huge old launcher costs no memory to copy.
  Content(const File& file, std::uint64_t size);

  std::uint64_t size() const { return size_; }
  // The next piece; empty at the end.
  int next(std::string_view& piece);

 private:
  std::string_view text_;
  const File* file_ = nullptr;
  std::uint64_t size_;
  std::uint64_t left_ = 0;
  std::unique_ptr<char[]> buffer_;
};

// Writes all of content to the open file at path.
int writeAll(std::intptr_t handle, Content& content, const std::string& path);

// The backup copy: the old content at path, copied to a new temporary file in folder and
// flushed, is kept, or failed when it cannot be made; the copy, closed, then takes
// backupPath once the new content is in place (kept), or cannot (failed). Neither step
// stops the save.
BackupCopy copyOldContent(const std::string& path, const std::string& folder, Temporary& copy);
BackupCopy putBackup(BackupCopy copied, Temporary& copy, const std::string& backupPath);

}  // namespace replace

}  // namespace platform
