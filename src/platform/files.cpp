// What the file functions of both platforms share: the file handle and the block read.
#include <utility>

#include "platform/file_system.h"
#include "platform/platform.h"

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

}  // namespace platform
