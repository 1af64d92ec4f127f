#include "settings/settings.h"

#include <algorithm>

#include "base/number.h"
#include "settings/setting_table.h"

std::string formatOptionLine(const Settings& s) {
  std::string line;
  for (const Setting* row : writingOrder) {
    if (row->onlyWhenSet && (row->flag ? !(s.*row->flag) : (s.*row->text).empty())) continue;
    line += " -";
    line += row->letters;
    switch (row->kind) {
      case Kind::flag: line += flagChars[s.*row->flag ? 1 : 0]; break;
      case Kind::screenMode: line += screenModeLetters[static_cast<std::size_t>(s.screenMode)]; break;
      case Kind::name: line += commandWord(s.*row->text); break;
      default: line += decimal(s.*row->number).view(); break;  // the numbers
    }
  }
  line += " %1 %2 %3 %4 %5 %6 %7 %8 %9";
  return line;
}

std::string commandWord(std::string_view text) {
  std::string word;
  for (char c : text) {
    if (c == '%') word += '%';  // a batch file turns "%%" into "%", also between quotes
    word += c;
  }
  if (text.find_first_of(" \t&|<>^(),;=") == std::string_view::npos) return word;
  // Before a closing quote, 2n backslashes give n: the trailing ones must stay themselves.
  std::size_t trailing = word.size() - (word.find_last_not_of('\\') + 1);
  word.append(trailing, '\\');
  return '"' + word + '"';
}

bool fitsCommandWord(std::string_view text) {
  return std::none_of(text.begin(), text.end(), [](char c) { return c == '"' || static_cast<unsigned char>(c) < 32; });
}
