// Shared by the fuzz targets: a check that stops the fuzzer with the failed condition, a
// throwaway working folder, and a way to see a run stop with a runtime error without the
// process ending (libFuzzer counts an exit as a crash).
#pragma once

#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>

#include "console/console.h"
#include "console/memory_device.h"
#include "platform/platform.h"
#include "texts/language.h"

#define FUZZ_CHECK(condition)                                                                \
  do {                                                                                       \
    if (!(condition)) {                                                                      \
      std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition);   \
      std::abort();                                                                          \
    }                                                                                        \
  } while (0)

namespace fuzz {

inline std::string_view bytes(const std::uint8_t* data, std::size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}

// Splits input at the first byte `separator`: the part before it, and the rest after it
// (empty when there is none).
inline std::string_view splitAt(std::string_view& input, char separator) {
  std::size_t at = input.find(separator);
  std::string_view first = input.substr(0, at);
  input.remove_prefix(at == std::string_view::npos ? input.size() : at + 1);
  return first;
}

// A fresh folder under the system's temp folder, made the working directory for the whole
// fuzzing run and removed at its end. Drives come from a Wine prefix inside it that has no
// dosdevices, so Z: is "/" and nothing of the machine's own set-up counts.
inline const std::string& workFolder() {
  // Kept apart from the returned string: the removal at exit runs after static strings die.
  static char removeAtExit[4096];
  static const std::string path = [] {
    std::string pattern = (std::filesystem::temp_directory_path() / "zorfuzz-XXXXXX").string();
    std::string made = std::filesystem::canonical(::mkdtemp(pattern.data())).string();
    ::setenv("WINEPREFIX", (made + "/wineprefix").c_str(), 1);
    std::filesystem::current_path(made);
    made.copy(removeAtExit, sizeof removeAtExit - 1);
    std::atexit([] {
      std::error_code ignored;
      std::filesystem::current_path(std::filesystem::temp_directory_path(), ignored);
      std::filesystem::remove_all(removeAtExit, ignored);
    });
    return made;
  }();
  return path;
}

inline void writeFile(const std::string& name, std::string_view content) {
  std::ofstream(name, std::ios::binary | std::ios::trunc).write(content.data(),
                                                                static_cast<std::streamsize>(content.size()));
}

inline std::string readFile(const std::string& name) {
  std::ifstream in(name, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The names in the working folder (the Wine prefix aside), to see that no temporary file
// was left behind.
inline int fileCount() {
  int n = 0;
  for (const auto& entry : std::filesystem::directory_iterator(workFolder()))
    n += entry.path().filename() != "wineprefix";
  return n;
}

// Thrown where the program would have ended the run (a runtime error, or exit).
struct RunStopped {};

// Starts the console on device, English texts, and makes the end of a run throw.
inline void startConsole(console::MemoryDevice& device) {
  console::start(device);  // sets its own exit hook; ours replaces it
  platform::setExitHook([] { throw RunStopped{}; });
}

// A file the run had open when it stopped stays open; this closes what was opened after
// the mark, so that a long fuzzing run does not run out of descriptors.
struct DescriptorMark {
  int first = [] {
    int fd = ::dup(0);
    ::close(fd);
    return fd;
  }();
  ~DescriptorMark() {
    for (int fd = first; fd < first + 8; ++fd)
      if (::fcntl(fd, F_GETFD) >= 0) ::close(fd);
  }
};

}  // namespace fuzz
