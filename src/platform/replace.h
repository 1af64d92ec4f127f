// What the replace of both platforms shares: the content written (text in memory, or a
// whole file copied piece by piece), writing it out, and the backup copy that must not stop
// the save.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/platform.h"

namespace platform::replace {

class Content {
 public:
  explicit Content(std::string_view text) : text_(text), size_(text.size()) {}
  // The whole file, read in pieces: a huge old launcher costs no memory to copy.
  Content(const File& file, std::uint64_t size);

  std::uint64_t size() const { return size_; }
  // The next piece; empty at the end.
  std::string_view next();

 private:
  std::string_view text_;
  const File* file_ = nullptr;
  std::uint64_t size_;
  std::uint64_t left_ = 0;
  std::unique_ptr<char[]> buffer_;
};

// Writes all of content to the open file; a failure stops the run.
void writeAll(std::intptr_t handle, Content& content, const std::string& path);

// Runs copy(), which keeps the old content: kept, or failed when it stopped the run with a
// runtime error (the save goes on without it).
template <typename Copy>
BackupCopy tryBackup(Copy&& copy) {
  try {
    copy();
  } catch (const RunEnd&) {
    return BackupCopy::failed;
  }
  return BackupCopy::kept;
}

}  // namespace platform::replace
