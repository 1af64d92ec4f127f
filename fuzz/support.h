// Shared by the fuzz targets: a check that stops the fuzzer with the failed condition and
// a throwaway working folder. A target that expects the run to stop catches
// platform::RunEnd; files the run had open are closed by their owners on the way up.
#pragma once

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
#include "memory_device.h"
#include "platform/platform.h"
#include "platform/run_end.h"
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

// The machine the targets work on, made as main makes it once the work folder (and its
// Wine prefix) is in place.
inline const platform::Machine& machine() {
  static platform::SystemFiles files;
  static const platform::Machine made = (workFolder(), platform::machineOf(files));
  return made;
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

}  // namespace fuzz
