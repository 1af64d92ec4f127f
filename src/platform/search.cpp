#include "platform/search.h"

#include <algorithm>

#include "platform/platform.h"

namespace platform {

namespace {

// The hit made absolute, its file name spelled as the file system stores it. The name
// starts after the last backslash; a colon counts only as a drive's ("D:ZO.BAT" when the
// path could not be expanded): on POSIX a name itself may hold one.
Str foundAt(const Str& candidate, const Str& storedName) {
  Str path = platform::expandPath(candidate);
  std::size_t backslash = path.view().find_last_of('\\');
  std::size_t nameStart = backslash != std::string_view::npos ? backslash + 1
                          : path.size() >= 2 && path[1] == ':' ? 2
                                                                 : 0;
  path.cutTail(path.size() - nameStart);
  return path + storedName;
}

}  // namespace

Str searchFile(std::string_view name, std::string_view list) {
  Str stored;
  Str candidate = name;
  if (platform::findEntry(candidate, &stored)) return foundAt(candidate, stored);
  std::size_t i = 0;
  for (;;) {
    while (i < list.size() && list[i] == ';') ++i;
    if (i == list.size()) return Str();
    std::string_view element;
    if (list[i] == '"') {
      std::size_t close = list.find('"', i + 1);
      if (close == std::string_view::npos) close = list.size();
      element = list.substr(i + 1, close - i - 1);
      i = close < list.size() ? close + 1 : close;
    } else {
      std::size_t end = std::min(list.find(';', i), list.size());
      element = list.substr(i, end - i);
      i = end;
    }
    candidate = element;
    if (!(element.ends_with(':') || element.ends_with('\\'))) candidate += '\\';
    candidate += name;
    if (platform::findEntry(candidate, &stored)) return foundAt(candidate, stored);
  }
}

}  // namespace platform
