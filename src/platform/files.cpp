// What the file functions of both platforms share: the file handle, opening and reading,
// and the pieces of a replace.
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
  if (isOpen()) tryClose();
}

int File::tryClose() { return fileSystem().close(std::exchange(handle_, -1)); }

void File::close() {
  if (int error = tryClose()) runtimeError(runtimeErrorCode(error));
}

bool findEntry(std::string_view path, Str* storedName) {
  Listing listing = listingOf(path);
  if (listing.found != Listing::file && listing.found != Listing::folder) return false;
  if (storedName) *storedName = listing.name;
  return true;
}

File openRead(std::string_view name) {
  File file;
  if (int code = openFile(name, OpenMode::read, file)) runtimeError(code);
  return file;
}

bool tryOpenRead(std::string_view name, File& file) { return openFile(name, OpenMode::read, file) == 0; }

bool tryOpenReadWrite(std::string_view name, File& file) { return openFile(name, OpenMode::readWrite, file) == 0; }

std::size_t readSome(const File& file, void* buffer, std::size_t size) {
  std::size_t got = 0;
  if (int code = readFrom(file, buffer, size, got)) runtimeError(code);
  return got;
}

void readBlock(const File& file, void* buffer, std::size_t size) {
  std::size_t done = 0;
  while (done < size) {
    std::size_t n = readSome(file, static_cast<char*>(buffer) + done, size - done);
    if (n == 0) runtimeError(100);
    done += n;
  }
}

namespace {

int summarize(std::string_view name, std::size_t keepUpTo, FileSummary& summary) {
  if (entryAt(name).kind == EntryKind::free) return 0;
  File file;
  if (int code = openFile(name, OpenMode::read, file)) return code;  // anything but a plain file
  summary.exists = true;
  summary.hash = 14695981039346656037ull;  // FNV-1a, 64 bits
  std::unique_ptr<char[]> buffer(new char[64 * 1024]);
  for (std::size_t n;;) {
    if (int code = readFrom(file, buffer.get(), 64 * 1024, n)) return code;
    if (n == 0) break;
    for (std::size_t i = 0; i < n; ++i) summary.hash = (summary.hash ^ static_cast<unsigned char>(buffer[i])) * 1099511628211ull;
    if (summary.size + n <= keepUpTo) summary.bytes.append(buffer.get(), n);
    summary.size += n;
  }
  if (summary.size > keepUpTo) summary.bytes.clear();
  int error = file.tryClose();
  return error ? runtimeErrorCode(error) : 0;
}

}  // namespace

FileSummary summarizeFile(std::string_view name, std::size_t keepUpTo, int* error) {
  FileSummary summary;
  int code = summarize(name, keepUpTo, summary);
  if (error) *error = code;
  else if (code) runtimeError(code);
  return summary;
}

namespace replace {

int writeAll(std::intptr_t handle, std::string_view text, const std::string& path) {
  while (!text.empty()) {
    std::size_t put = 0;
    if (int error = fileSystem().write(handle, text.data(), text.size(), put)) return runtimeErrorCode(error, path);
    if (put == 0) return 101;
    text.remove_prefix(put);
  }
  return 0;
}

BackupCopy copyOldContent(const std::string& path, const std::string& folder, Temporary& copy) {
  std::intptr_t handle;
  if (createTemporary(folder, copy) != 0 || openPlain(path, OpenMode::read, handle) != 0) return BackupCopy::failed;
  File old(handle);
  std::uint64_t left = 0;
  if (sizeOf(old, left) != 0) return BackupCopy::failed;
  // In pieces: a huge old launcher costs no memory to copy.
  constexpr std::size_t pieceSize = 64 * 1024;
  std::unique_ptr<char[]> buffer(new char[pieceSize]);
  for (std::size_t n; left > 0; left -= n) {
    if (readFrom(old, buffer.get(), static_cast<std::size_t>(std::min<std::uint64_t>(left, pieceSize)), n) != 0 ||
        n == 0 ||  // the file got shorter while it was copied
        writeAll(copy.file.handle(), {buffer.get(), n}, copy.name) != 0)
      return BackupCopy::failed;
  }
  return fileSystem().flush(copy.file.handle()) == 0 ? BackupCopy::kept : BackupCopy::failed;
}

BackupCopy putBackup(BackupCopy copied, Temporary& copy, const std::string& backupPath) {
  if (copied != BackupCopy::kept) return copied;
  if (copy.file.tryClose() != 0 || fileSystem().rename(copy.name, backupPath) != 0) return BackupCopy::failed;
  copy.renamed = true;
  return BackupCopy::kept;
}

}  // namespace replace

}  // namespace platform
