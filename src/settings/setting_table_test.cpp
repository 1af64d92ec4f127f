// The table of settings, checked when the tests are compiled: the parser finds every row,
// the writer writes what the parser reads back, and keys and names are each once.
#include "settings/setting_table.h"

#include <algorithm>

namespace {

// The first keyword that matches acts, so a keyword must come before those that are a
// prefix of it.
constexpr bool noKeywordIsAPrefixOfALaterOne() {
  std::string_view earlier[64];
  std::size_t count = 0;
  for (const Setting& row : settingTable) {
    for (std::size_t k = 0; k < row.keywords.size() && !row.keywords[k].empty(); ++k) {  // by index: GCC 12
      for (std::size_t i = 0; i < count; ++i)
        if (row.keywords[k].starts_with(earlier[i])) return false;
      earlier[count++] = row.keywords[k];
    }
  }
  return true;
}
static_assert(noKeywordIsAPrefixOfALaterOne());

// Every item the writer writes starts with one of its row's keywords.
constexpr bool writtenAsRead() {
  return std::ranges::all_of(writingOrder, [](const Setting* row) {
    return std::ranges::find(row->keywords, row->letters) != row->keywords.end();
  });
}
static_assert(writtenAsRead());

// A menu key is a letter (the menu's own keys are none), each once in either case; a name on
// the command line is there once.
constexpr bool keysAndNamesOnce() {
  for (const Setting* row : shownOrder) {
    if (row->key < 'a' || row->key > 'z') return false;
    for (const Setting* other : shownOrder) {
      if (row != other && (row->key == other->key || (!row->name.empty() && row->name == other->name))) return false;
    }
  }
  return true;
}
static_assert(keysAndNamesOnce());

}  // namespace
