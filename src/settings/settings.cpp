#include "settings/settings.h"

#include <algorithm>

#include "base/number.h"
#include "settings/setting_table.h"
#include "settings/values.h"

std::string formatOptionLine(const Settings& s) {
  std::string line;
  for (const Setting* row : writingOrder) {
    if (row->onlyWhenSet && (row->flag ? !(s.*row->flag) : (s.*row->text).empty())) continue;
    line += " -";
    line += row->letters;
    line += writtenValue(*row, s);
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
