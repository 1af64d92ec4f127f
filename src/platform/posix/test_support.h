// Helpers for tests that need real files: a throwaway folder, and an environment variable
// and a working directory that are put back when the test ends.
#pragma once

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace platform::test {

namespace fs = std::filesystem;

struct TestFolder {
  TestFolder() {
    std::string pattern = (fs::temp_directory_path() / "zorsetup-test-XXXXXX").string();
    path = fs::canonical(::mkdtemp(pattern.data())).string();  // as getcwd will name it
  }
  ~TestFolder() {
    std::error_code ignored;
    fs::remove_all(path, ignored);
  }
  TestFolder(const TestFolder&) = delete;
  TestFolder& operator=(const TestFolder&) = delete;

  std::string operator/(const std::string& name) const { return path + '/' + name; }

  void write(const std::string& name, const std::string& content) const {
    std::ofstream(*this / name, std::ios::binary) << content;
  }
  std::optional<std::string> read(const std::string& name) const {
    std::ifstream in(*this / name, std::ios::binary);
    if (!in) return std::nullopt;
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
  }
  // The names in the folder or in one of its folders, sorted.
  std::vector<std::string> names(const std::string& sub = "") const {
    std::vector<std::string> found;
    for (const auto& entry : fs::directory_iterator(sub.empty() ? path : *this / sub))
      found.push_back(entry.path().filename().string());
    std::sort(found.begin(), found.end());
    return found;
  }

  std::string path;
};

class ScopedVariable {
 public:
  ScopedVariable(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    value ? ::setenv(name, value, 1) : ::unsetenv(name);
  }
  ~ScopedVariable() { old_ ? ::setenv(name_.c_str(), old_->c_str(), 1) : ::unsetenv(name_.c_str()); }
  ScopedVariable(const ScopedVariable&) = delete;
  ScopedVariable& operator=(const ScopedVariable&) = delete;

 private:
  std::string name_;
  std::optional<std::string> old_;
};

class ScopedDirectory {
 public:
  explicit ScopedDirectory(const std::string& path) : old_(fs::current_path()) { fs::current_path(path); }
  ~ScopedDirectory() { fs::current_path(old_); }
  ScopedDirectory(const ScopedDirectory&) = delete;
  ScopedDirectory& operator=(const ScopedDirectory&) = delete;

 private:
  fs::path old_;
};

}  // namespace platform::test
