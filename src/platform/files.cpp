// What the file functions of both platforms share: the file handle, opening and reading,
// and the pieces of a replace.
#include <memory>
#include <utility>

#include "platform/file_system.h"
#include "platform/platform.h"
#include "platform/replace.h"

namespace platform {

File::File(File&& other) noexcept : files_(other.files_), handle_(std::exchange(other.handle_, -1)) {}

File& File::operator=(File&& other) noexcept {
  if (this != &other) {
    release();
    files_ = other.files_;
    handle_ = std::exchange(other.handle_, -1);
  }
  return *this;
}

File::~File() { release(); }

void File::release() {
  // Given up quietly: the run is ending with an error already, or the file was only read.
  if (isOpen()) tryClose();
}

int File::tryClose() { return files_->close(std::exchange(handle_, -1)); }

void File::close() {
  if (int error = tryClose()) runtimeError(runtimeErrorCode(error));
}

bool findEntry(const Machine& m, std::string_view path, Str* storedName) {
  Listing listing = listingOf(m, path);
  if (listing.found != Listing::file && listing.found != Listing::folder) return false;
  if (storedName) *storedName = listing.name;
  return true;
}

namespace {

// A failed open stops the run, with the link that was not followed if that was why.
[[noreturn]] void stopOpening(int code, std::string& foreignLink) {
  if (!foreignLink.empty()) refuse(code, Refusal::foreignLink, std::move(foreignLink));
  runtimeError(code);
}

}  // namespace

File openRead(const Machine& m, std::string_view name) {
  File file;
  std::string foreignLink;
  if (int code = openFile(m, name, OpenMode::read, file, &foreignLink)) stopOpening(code, foreignLink);
  return file;
}

bool tryOpenReadWrite(const Machine& m, std::string_view name, File& file) {
  return openFile(m, name, OpenMode::readWrite, file) == 0;
}

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

constexpr std::size_t pieceSize = 64 * 1024;  // files are read in pieces: a huge one costs no memory

// FNV-1a, 64 bits, continued over bytes.
std::uint64_t hashed(std::uint64_t hash, const char* bytes, std::size_t n) {
  for (std::size_t i = 0; i < n; ++i) hash = (hash ^ static_cast<unsigned char>(bytes[i])) * 1099511628211ull;
  return hash;
}
constexpr std::uint64_t hashStart = 14695981039346656037ull;

int summarize(const Machine& m, std::string_view name, std::size_t keepUpTo, FileSummary& summary,
              std::string& foreignLink) {
  if (entryAt(m, name).kind == EntryKind::free) return 0;
  File file;
  if (int code = openFile(m, name, OpenMode::read, file, &foreignLink)) return code;  // anything but a plain file
  if (int code = replace::summarizeOpen(file, keepUpTo, summary)) return code;
  int error = file.tryClose();
  return error ? runtimeErrorCode(error) : 0;
}

}  // namespace

FileSummary summarizeFile(const Machine& m, std::string_view name, std::size_t keepUpTo, int* error) {
  FileSummary summary;
  std::string foreignLink;
  int code = summarize(m, name, keepUpTo, summary, foreignLink);
  if (error) *error = code;
  else if (code) stopOpening(code, foreignLink);
  return summary;
}

namespace replace {

int summarizeOpen(const File& file, std::size_t keepUpTo, FileSummary& summary) {
  summary = FileSummary{true, 0, hashStart, {}};
  std::unique_ptr<char[]> buffer(new char[pieceSize]);
  for (std::size_t n;;) {
    if (int code = readFrom(file, buffer.get(), pieceSize, n)) return code;
    if (n == 0) break;
    summary.hash = hashed(summary.hash, buffer.get(), n);
    if (summary.size + n <= keepUpTo) summary.bytes.append(buffer.get(), n);
    summary.size += n;
  }
  if (summary.size > keepUpTo) summary.bytes.clear();
  return 0;
}

int writeAll(const File& file, std::string_view text, const std::string& path) {
  while (!text.empty()) {
    std::size_t put = 0;
    if (int error = file.files().write(file.handle(), text.data(), text.size(), put))
      return runtimeErrorCode(error, path);
    if (put == 0) return 101;
    text.remove_prefix(put);
  }
  return 0;
}

int copyOldContent(const File& old, const FileSummary& judged, const std::string& folder, Temporary& copy) {
  if (int code = rewind(old)) return code;
  if (int error = createTemporary(old.files(), folder, copy, true)) return runtimeErrorCode(error, folder);
  std::unique_ptr<char[]> buffer(new char[pieceSize]);
  FileSummary copied{true, 0, hashStart, {}};
  for (std::size_t n;; copied.size += n) {
    if (int code = readFrom(old, buffer.get(), pieceSize, n)) return code;
    if (n == 0) break;
    copied.hash = hashed(copied.hash, buffer.get(), n);
    if (int code = writeAll(copy.file, {buffer.get(), n}, copy.name)) return code;
  }
  if (!copied.sameContent(judged)) return -1;
  int error = copy.file.files().flush(copy.file.handle());
  return error ? runtimeErrorCode(error, copy.name) : 0;
}

}  // namespace replace

}  // namespace platform
