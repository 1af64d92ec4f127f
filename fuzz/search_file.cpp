// searchFile's walk over any list: the hit is the first candidate the list names (each
// element, quoted or not, then a backslash unless it ends in one or a colon, then the
// name) that exists, made absolute; no hit gives the empty string.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/search.h"
#include "support.h"

namespace {

// The candidates in the order they are tried, as short strings like the search's own.
std::vector<Str> candidates(std::string_view name, std::string_view list) {
  std::vector<Str> out{Str(name)};
  std::size_t i = 0;
  for (;;) {
    while (i < list.size() && list[i] == ';') ++i;
    if (i >= list.size()) return out;
    std::string_view element;
    if (list[i] == '"') {
      std::size_t close = std::min(list.find('"', i + 1), list.size());
      element = list.substr(i + 1, close - i - 1);
      i = close + 1;
    } else {
      std::size_t end = std::min(list.find(';', i), list.size());
      element = list.substr(i, end - i);
      i = end;
    }
    Str candidate = element;
    if (!element.ends_with(':') && !element.ends_with('\\')) candidate += '\\';
    candidate += name;
    out.push_back(candidate);
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  namespace fs = std::filesystem;
  fs::path here = fuzz::workFolder();
  // ZO.BAT only in some folders (never here, where the search starts); X.TXT here too.
  for (const char* folder : {"a", "b b", "c;d", "bin", "e"}) fs::create_directory(here / folder);
  for (const char* file : {"b b/ZO.BAT", "c;d/ZO.BAT", "e/ZO.BAT", "bin/X.TXT", "X.TXT"})
    fuzz::writeFile((here / file).string(), "x");
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  std::string_view name = data[0] & 1 ? "X.TXT" : "ZO.BAT";
  Str list = fuzz::bytes(data + 1, size - 1);  // an environment value: at most 255
  Str found = platform::searchFile(fuzz::machine(), name, list);

  Str expected;
  for (const Str& candidate : candidates(name, list)) {
    if (platform::findEntry(fuzz::machine(), candidate)) {
      expected = platform::expandPath(fuzz::machine(), candidate);
      break;
    }
  }
  FUZZ_CHECK(found == expected.view());
  if (!found.empty()) FUZZ_CHECK(platform::findEntry(fuzz::machine(), found));  // the hit names the same entry
  return 0;
}
