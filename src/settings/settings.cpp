#include "settings/settings.h"

#include "base/number.h"
#include "settings/setting_table.h"

namespace {

// The items are in writing order, and the parser reads back each one: its letters are one of
// its row's keywords.
constexpr bool writtenAsRead() {
  for (const Setting* row : writingOrder) {
    if (!row) return false;  // two items in one place, or a place left out
    bool read = false;
    for (std::string_view keyword : keywordsOf(*row)) read = read || keyword == row->letters;
    if (!read) return false;
  }
  return true;
}
static_assert(writtenAsRead());

}  // namespace

std::string formatOptionLine(const Settings& s) {
  std::string line;
  for (const Setting* row : writingOrder) {
    if (row->onlyWhenSet && (row->flag ? !(s.*row->flag) : (s.*row->text).empty())) continue;
    Str item = " -";  // one short string: a long name loses its tail here
    item += row->letters;
    switch (row->kind) {
      case Kind::flag: item += flagChars[s.*row->flag ? 1 : 0]; break;
      case Kind::screenMode: item += screenModeLetters[static_cast<std::size_t>(s.screenMode)]; break;
      case Kind::name: item += s.*row->text; break;
      default: item += decimal(s.*row->number); break;  // the numbers
    }
    line += item.view();
  }
  line += " %1 %2 %3 %4 %5 %6 %7 %8 %9";
  return line;
}
