#include "settings/values.h"

#include <algorithm>
#include <vector>

#include "base/ascii.h"
#include "base/number.h"
#include "platform/dos_path.h"

namespace {

// The values of a setting that takes only a few, in their order.
std::vector<std::string> choices(const Setting& row) {
  std::vector<std::string> all;
  if (row.kind == Kind::screenMode)
    for (char letter : screenModeLetters) all.emplace_back(1, letter);
  for (std::int32_t number : row.kept) all.emplace_back(decimal(number).view());
  return all;
}

std::string joined(const std::vector<std::string>& words) {
  std::string list;
  for (const std::string& word : words) list += (list.empty() ? "" : ", ") + word;
  return list;
}

constexpr std::string_view scriptFlags[2] = {"off", "on"};

}  // namespace

Str shownValue(const Setting& row, const Settings& s) {
  switch (row.kind) {
    case Kind::flag: return texts::text(s.*row.flag ? texts::txtOn : texts::txtOff);
    case Kind::screenMode: return screenModeLetters.substr(static_cast<std::size_t>(s.screenMode), 1);
    case Kind::name: return s.*row.text;
    case Kind::memoryLimit: case Kind::screenLines: return decimal(s.*row.number).view();
    case Kind::ignored: break;
  }
  return {};
}

std::string_view shownBelow(const Setting& row, const Settings& s) {
  if (row.kind != Kind::screenMode) return {};
  return texts::displayModeNameArray[s.screenMode];
}

std::string writtenValue(const Setting& row, const Settings& s) {
  if (row.kind == Kind::flag) return {flagChars[s.*row.flag ? 1 : 0]};
  if (row.kind == Kind::name) return commandWord(s.*row.text);
  return std::string(shownValue(row, s).view());
}

std::string scriptValue(const Setting& row, const Settings& s, std::string_view zorDirectory) {
  if (row.kind == Kind::flag) return std::string(scriptFlags[s.*row.flag ? 1 : 0]);
  std::string value(shownValue(row, s).view());
  if (row.kind == Kind::name && !zorDirectory.empty() && value.size() > zorDirectory.size() &&
      ascii::sameIgnoringCase(std::string_view(value).substr(0, zorDirectory.size()), zorDirectory)) {
    // Relative only when --set takes the rest back as a name in ZOR's directory.
    std::string relative = value.substr(zorDirectory.size());
    Settings back;
    if (takeName(row, relative, zorDirectory, back) &&
        (back.*row.text).view() == std::string(zorDirectory) + relative)
      return relative;
  }
  return value;
}

bool isStepped(const Setting& row) { return row.kind == Kind::flag || row.kind == Kind::screenMode; }

void step(const Setting& row, Settings& s) {
  if (row.kind == Kind::flag) toggleFlag(s.*row.flag);
  if (row.kind == Kind::screenMode)
    s.screenMode = static_cast<std::int8_t>((s.screenMode + 1) % static_cast<int>(screenModeLetters.size()));
}

bool isName(const Setting& row) { return row.kind == Kind::name; }

namespace {

// Whether the menu keeps the number as typed (a setting without a list keeps any).
bool keeps(const Setting& row, std::int32_t number) {
  return row.kept.empty() || std::ranges::find(row.kept, number) != row.kept.end();
}

}  // namespace

void takeNumber(const Setting& row, std::int32_t number, Settings& s) {
  s.*row.number = keeps(row, number) ? number : row.otherwise;
}

bool takeName(const Setting& row, std::string_view answer, std::string_view zorDirectory, Settings& s) {
  bool absolute = platform::dos::hasDrive(answer) || answer.starts_with('\\');
  std::string name(answer.empty() || absolute ? "" : zorDirectory);
  name += answer;
  if (name.size() > static_cast<std::size_t>(row.taken.highest) || !fitsCommandWord(name)) return false;
  s.*row.text = name;
  return true;
}

bool takeValue(const Setting& row, std::string_view value, std::string_view zorDirectory, Settings& s) {
  std::int32_t number = 0;
  std::size_t mode = value.size() == 1 ? screenModeLetters.find(ascii::upper(value[0])) : std::string_view::npos;
  switch (row.kind) {
    case Kind::flag: {
      auto said = std::ranges::find_if(scriptFlags, [value](auto word) { return ascii::sameIgnoringCase(value, word); });
      if (said == std::end(scriptFlags)) return false;
      s.*row.flag = static_cast<Flag>(said - std::begin(scriptFlags));
      return true;
    }
    case Kind::screenMode:
      if (mode == std::string_view::npos) return false;
      s.screenMode = static_cast<std::int8_t>(mode);
      return true;
    case Kind::name: return takeName(row, value, zorDirectory, s);
    case Kind::memoryLimit:
    case Kind::screenLines:
      // Only what the menu keeps as typed: a count it would turn into another is refused.
      if (!convertNumber(value, number) || number < row.taken.lowest || number > row.taken.highest) return false;
      if (!keeps(row, number)) return false;
      s.*row.number = number;
      return true;
    case Kind::ignored: break;
  }
  return false;
}

std::string described(const Setting& row, texts::MessageText message) {
  std::vector<std::string> all = choices(row);
  std::string last = all.empty() ? "" : all.back();
  std::vector<std::string> butLast(all.begin(), all.end() - (all.empty() ? 0 : 1));
  const std::pair<std::string_view, std::string> marks[] = {
      {"{lowest}", std::string(decimal(row.taken.lowest).view())},
      {"{highest}", std::string(decimal(row.taken.highest).view())},
      {"{otherwise}", std::string(decimal(row.otherwise).view())},
      {"{all}", joined(all)},
      {"{but-last}", joined(butLast)},
      {"{last}", last},
  };
  std::string text(texts::text(message));
  for (const auto& [mark, value] : marks)
    for (std::size_t at = text.find(mark); at != std::string::npos; at = text.find(mark, at + value.size()))
      text.replace(at, mark.size(), value);
  return text;
}
