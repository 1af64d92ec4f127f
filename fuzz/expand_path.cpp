// expandPath on any path and any current directory: its own output comes back unchanged,
// whatever the current directory then; and an expanded path is absolute, with no empty,
// "." or ".." names left in it.
#include <cstdint>
#include <string>

#include "base/ascii.h"
#include "platform/dos_path.h"
#include "support.h"

namespace {

bool hasDrive(std::string_view p) {
  return p.size() >= 2 && ascii::isLetter(p[0]) && p[1] == ':';
}
bool isNetwork(std::string_view p) { return p.size() >= 2 && p[0] == '\\' && p[1] == '\\'; }

// The names after the root: none "." or "..", none empty but the last (a directory's
// trailing backslash).
bool namesAreClean(std::string_view p) {
  std::size_t start;
  if (hasDrive(p)) {
    start = 3;
  } else {
    // \\server\share\ is the root of a network path; \\.\ and \\?\ are roots of their own.
    if (p.size() >= 4 && (p[2] == '.' || p[2] == '?') && p[3] == '\\') return true;
    start = 2;
    for (int part = 0; part < 2 && start < p.size(); ++part) {
      start = p.find('\\', start);
      if (start == std::string_view::npos) return true;
      while (start < p.size() && p[start] == '\\') ++start;
    }
  }
  if (start >= p.size()) return true;
  std::string_view rest = p.substr(start);
  for (;;) {
    std::size_t end = std::min(rest.find('\\'), rest.size());
    std::string_view name = rest.substr(0, end);
    if (end == rest.size()) return name != "." && name != "..";
    if (name.empty() || name == "." || name == "..") return false;
    rest.remove_prefix(end + 1);
  }
}

bool trimmableFolderName(std::string_view p) {
  for (std::size_t at = p.find(".\\"); at != std::string_view::npos; at = p.find(".\\", at + 1)) {
    std::size_t start = p.find_last_of('\\', at);
    std::size_t from = start == std::string_view::npos ? 0 : start + 1;
    std::string_view name = p.substr(from, at + 1 - from);
    if (name.find_first_not_of('.') != std::string_view::npos) return true;
  }
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view input = fuzz::bytes(data, size);
  // Both are short strings wherever the program expands a path.
  Str current = fuzz::splitAt(input, '\n');
  Str path = input;

  Str once = platform::dos::expandPath(path, current);
  Str twice = platform::dos::expandPath(once, current);
  // As on Windows, each expansion takes one dot off a folder name that ends in dots
  // ("A..\" gives "A.\"): only there may a second expansion differ.
  bool stable = !trimmableFolderName(once);
  if (stable) FUZZ_CHECK(twice == once.view());
  if (once == path.view()) return 0;  // not expanded (or already in its full form)

  FUZZ_CHECK((hasDrive(once) && once.size() >= 3 && once[2] == '\\') || isNetwork(once));
  if (stable) FUZZ_CHECK(platform::dos::expandPath(once, "Q:\\ELSEWHERE") == once.view());
  if (hasDrive(once)) FUZZ_CHECK(namesAreClean(once));
  return 0;
}
