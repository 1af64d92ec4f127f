// The choice-of-path dialog for any search path and any typed answer: at most 20 places
// offered, the prompt names their count, and the answer gives the place of that number or
// the typed directory, ending in a backslash when there is room for one.
#include <cstdint>
#include <string>
#include <vector>

#include "launcher/location.h"
#include "platform/native.h"
#include "platform/run_end.h"
#include "base/number.h"
#include "support.h"

namespace {

// The list's pieces as the dialog takes them: the search path (cut to 255), ';' unless it
// ends in one, then the current directory ".", each append cut to 255 too. A piece that
// starts with a double quote runs to the closing one (or the end) and loses its quotes.
std::vector<Str> pieces(std::string_view searchPath) {
  Str list = searchPath;
  if (!list.empty() && list.back() != ';') list += ";";
  list += ".;";
  std::vector<Str> out;
  std::string_view rest = list;
  while (!rest.empty() && out.size() < 20) {
    bool quoted = rest.front() == '"';
    if (quoted) rest.remove_prefix(1);
    std::size_t end = std::min(rest.find(quoted ? '"' : ';'), rest.size());
    out.emplace_back(rest.substr(0, end));
    rest.remove_prefix(end);
    if (quoted && !rest.empty()) rest.remove_prefix(1);  // the closing quote
    if (!rest.empty() && rest.front() == ';') rest.remove_prefix(1);
  }
  return out;
}

void endWithBackslash(Str& s) {
  if (s.empty() || s.back() != '\\') s += '\\';
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::workFolder();
  texts::loadAllFor("EN");
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view input = fuzz::bytes(data, size);
  std::string_view searchPath = fuzz::splitAt(input, '\n');
  // What the line editor keeps of the typed bytes: characters, not the editing keys.
  Str answer;
  for (char c : input) {
    auto b = static_cast<std::uint8_t>(c);
    if (b >= 32 && b != 224) answer += c;
  }

  console::MemoryDevice device;
  device.type(answer);
  device.type("\r");
  console::start(device);
  Str chosen;
  bool askedAgain = false;  // the answer was refused, and then the typed keys ran out
  try {
    chosen = chooseLauncherDirectoryFrom(fuzz::machine(), searchPath);
  } catch (const platform::RunEnd& end) {
    FUZZ_CHECK(end.code == 100);
    askedAgain = true;
  }

  std::vector<Str> offered = pieces(Str(searchPath));
  FUZZ_CHECK(!offered.empty() && offered.size() <= 20);
  std::string screen;
  for (int row = 1; row <= 25; ++row) screen += console::rowText(row);
  FUZZ_CHECK(screen.find(" [1.." + std::to_string(offered.size()) + "] ") != std::string::npos);

  Str expected = answer.empty() ? Str(".\\") : answer;
  std::int32_t number = 0;
  if (convertNumber(expected, number) && number >= 1 && number <= static_cast<std::int32_t>(offered.size())) {
    expected = platform::expandPath(fuzz::machine(), offered[static_cast<std::size_t>(number - 1)]);
    endWithBackslash(expected);
  }
  endWithBackslash(expected);
  // Only a directory with room for "ZO.BAT" behind it is taken.
  bool takes = expected.size() <= Str::capacity - 6 && platform::directoryExists(fuzz::machine(), expected);
  FUZZ_CHECK(askedAgain != takes);
  if (takes) FUZZ_CHECK(chosen == expected.view() && chosen.back() == '\\');
  console::finish();
  return 0;
}
