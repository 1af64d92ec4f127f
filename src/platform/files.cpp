// What the file functions of both platforms share: the file handle, the block read, and
// the pieces of a replace.
#include <algorithm>
#include <memory>
#include <utility>

#include "platform/file_system.h"
#include "platform/platform.h"
#include "platform/replace.h"

namespace platform {

File::File(File&& other) noexcept : handle_(std::exchange(other.handle_, -1)) {}

File& File::operator=(File&& other) noexcept {
  if (this != &other) {
    release();
    handle_ = std::exchange(other.handle_, -1);
  }
  return *this;
}

File::~File() { release(); }

void File::release() {
  // Given up quietly: the run is ending with an error already, or the file was only read.
  if (isOpen()) fileSystem().close(std::exchange(handle_, -1));
}

void File::close() {
  int error = fileSystem().close(std::exchange(handle_, -1));
  if (error != 0) runtimeError(runtimeErrorCode(error));
}

void readBlock(const File& file, void* buffer, std::size_t size) {
  std::size_t done = 0;
  while (done < size) {
    std::size_t n = readSome(file, static_cast<char*>(buffer) + done, size - done);
    if (n == 0) runtimeError(100);
    done += n;
  }
}

FileSummary summarizeFile(std::string_view name, std::size_t keepUpTo) {
  FileSummary summary;
  if (entryAt(name).kind == EntryKind::free) return summary;
  File file = openRead(name);  // anything but a plain file stops the run here
  summary.exists = true;
  summary.hash = 14695981039346656037ull;  // FNV-1a, 64 bits
  std::unique_ptr<char[]> buffer(new char[64 * 1024]);
  for (std::size_t n; (n = readSome(file, buffer.get(), 64 * 1024)) > 0;) {
    for (std::size_t i = 0; i < n; ++i) summary.hash = (summary.hash ^ static_cast<unsigned char>(buffer[i])) * 1099511628211ull;
    if (summary.size + n <= keepUpTo) summary.bytes.append(buffer.get(), n);
    summary.size += n;
  }
  if (summary.size > keepUpTo) summary.bytes.clear();
  file.close();
  return summary;
}

namespace replace {

namespace {
constexpr std::size_t pieceSize = 64 * 1024;
}

Content::Content(const File& file, std::uint64_t size)
    : file_(&file), size_(size), left_(size), buffer_(new char[pieceSize]) {}

std::string_view Content::next() {
  if (!file_) return std::exchange(text_, {});
  if (left_ == 0) return {};
  std::size_t n = readSome(*file_, buffer_.get(), static_cast<std::size_t>(std::min<std::uint64_t>(left_, pieceSize)));
  if (n == 0) runtimeError(100);  // the file got shorter while it was copied
  left_ -= n;
  return {buffer_.get(), n};
}

void writeAll(std::intptr_t handle, Content& content, const std::string& path) {
  FileSystem& files = fileSystem();
  for (std::string_view piece = content.next(); !piece.empty(); piece = content.next()) {
    while (!piece.empty()) {
      std::size_t put = 0;
      if (int error = files.write(handle, piece.data(), piece.size(), put)) runtimeError(runtimeErrorCode(error, path));
      if (put == 0) runtimeError(101);
      piece.remove_prefix(put);
    }
  }
}

}  // namespace replace

}  // namespace platform
