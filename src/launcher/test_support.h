// Shared by the launcher's unit tests: a throwaway working directory and whole-file access.
#pragma once

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "base/short_string.h"
#include "platform/platform.h"

namespace launcher_test {

// Makes a fresh directory under the system's temp dir the current directory for the
// lifetime of the object, and removes it afterwards.
class TempDirectory {
 public:
  TempDirectory() {
    std::string pattern = (std::filesystem::temp_directory_path() / "zorsetup-XXXXXX").string();
    path_ = mkdtemp(pattern.data());
    previous_ = std::filesystem::current_path();
    std::filesystem::current_path(path_);
  }
  ~TempDirectory() {
    std::filesystem::current_path(previous_);
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempDirectory(const TempDirectory&) = delete;
  TempDirectory& operator=(const TempDirectory&) = delete;

  const std::filesystem::path& path() const { return path_; }
  // The directory as the program names it, with its trailing backslash.
  std::string dosName() const {
    std::string name(platform::currentDirectory().view());
    if (name.back() != '\\') name += '\\';
    return name;
  }

 private:
  std::filesystem::path path_;
  std::filesystem::path previous_;
};

inline void writeFile(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

inline std::string readFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace launcher_test
