// What the unit tests share: throwaway folders, whole-file access, an environment variable
// and a working directory that are put back when the test ends, and the end of a run.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/run_end.h"

namespace test {

// The tests choose their language through LANG: a locale of the machine that would win
// over it (LC_ALL, LC_MESSAGES) is set aside for the whole test program.
inline const bool localeSetAside = (::unsetenv("LC_ALL"), ::unsetenv("LC_MESSAGES"), true);

// The machine as main makes it, with its drives as they are now (after what the test set
// in the environment or among the links), and the system's own files or the ones given.
inline platform::SystemFiles systemFiles;  // the system calls themselves: no state of its own
inline platform::Machine machine(platform::FileSystem& files = systemFiles) { return platform::machineOf(files); }

// The code of the runtime error that stops the run inside f(); -1 when f() returns.
template <typename F>
int runtimeErrorOf(F&& f) {
  try {
    f();
  } catch (const platform::RunEnd& end) {
    return end.code;
  }
  return -1;
}

// The refusal that stops the run inside f(); none when f() returns or stops otherwise.
template <typename F>
platform::Refusal refusalOf(F&& f) {
  try {
    f();
  } catch (const platform::RunEnd& end) {
    return end.refusal;
  }
  return platform::Refusal::none;
}

// Rules of a replace that keeps whatever stood there under backupName.
inline platform::ReplaceRules keepingOldAs(std::string_view backupName) {
  platform::ReplaceRules rules;
  rules.backupName = backupName;
  rules.judge = [](const platform::FileSummary&) { return platform::Verdict::replaceKeepingOld; };
  return rules;
}

// Whether pattern (an ECMAScript regular expression) matches somewhere in text.
inline ::testing::AssertionResult matches(const std::string& text, const std::string& pattern) {
  if (std::regex_search(text, std::regex(pattern))) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "\"" << text << "\" does not match \"" << pattern << "\"";
}

// The exit code of a run that f() ends on purpose: 0, as every such end returns; -1 when a
// runtime error stops it.
template <typename F>
int endCodeOf(F&& f) {
  return runtimeErrorOf(f) == -1 ? 0 : -1;
}

namespace fs = std::filesystem;

struct TestFolder {
  TestFolder() {
    std::string pattern = (fs::temp_directory_path() / "zor-XXXXXX").string();
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

// A throwaway folder that is the working directory while the object lives.
class TempDirectory {
 public:
  const std::string& path() const { return folder_.path; }
  std::string operator/(const std::string& name) const { return folder_ / name; }
  // The folder as the program names it (DOS form), with its trailing backslash.
  std::string dosName() const {
    std::string name(platform::currentDirectory(machine()).view());
    if (name.empty() || name.back() != '\\') name += '\\';
    return name;
  }

 private:
  TestFolder folder_;
  ScopedDirectory inside_{folder_.path};
};

inline void writeFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

inline std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

// A screen row as the tests compare it: the text padded with blanks to the width.
inline std::string pad(std::string text, std::size_t width = 80) {
  text.resize(width, ' ');
  return text;
}

}  // namespace test
