#include "texts/texts.h"

#include <cstddef>
#include <iterator>

#include "texts/tables.h"

namespace texts {
namespace {

std::string_view generalRefs[generalTextCount];
std::string_view editorRefs[editorTextCount];
std::string_view categoryRefs[categoryNameCount];
std::string_view displayModeRefs[displayModeNameCount];
std::string_view messageRefs[messageTextCount];

std::string_view bytesAt(std::span<const std::uint8_t> table, std::size_t at, std::size_t count) {
  return {reinterpret_cast<const char*>(table.data()) + at, count};
}

// Offset of the byte after the length-prefixed marker, or table.size() when there is none.
// The scan stops where a whole marker no longer fits.
std::size_t findMarkerEnd(std::span<const std::uint8_t> table) {
  const std::size_t span = 1 + tableMarker.size();
  for (std::size_t at = 0; at + span <= table.size(); ++at) {
    if (table[at] == tableMarker.size() && bytesAt(table, at + 1, tableMarker.size()) == tableMarker)
      return at + span;
  }
  return table.size();
}

}  // namespace

ShortString<46> displayModeNameArray[displayModeCount];

std::string filled(std::string_view text, std::initializer_list<std::string_view> words) {
  std::string out(text);
  std::size_t at = 0;
  for (std::string_view word : words) {
    at = out.find("%s", at);
    if (at == std::string::npos) break;
    out.replace(at, 2, word);
    at += word.size();
  }
  return out;
}

int loadTable(std::span<const std::uint8_t> table, std::string_view code,
              std::span<std::string_view> refs) {
  std::size_t at = findMarkerEnd(table);
  if (at >= table.size()) return 0;

  std::size_t listLength = table[at++];
  if (at + listLength + 2 > table.size()) return 0;
  std::string_view list = bytesAt(table, at, listLength);
  at += listLength;

  // The first language is the fallback and is never compared; a code that is not two
  // characters long matches nothing.
  std::size_t languages = listLength / 2;
  std::size_t column = 1;
  for (std::size_t j = languages; j >= 2; --j) {
    if (code.size() == 2 && list.substr(2 * j - 2, 2) == code) {
      column = j;
      break;
    }
  }

  std::size_t count = table[at] | (table[at + 1] << 8);
  at += 2;

  std::size_t loaded = 0;
  // An entry that the table's end cuts short is not taken.
  for (; loaded < count && loaded < refs.size(); ++loaded) {
    std::string_view chosen;
    for (std::size_t j = 1; j <= languages; ++j) {
      if (at >= table.size() || at + 1 + table[at] > table.size()) return static_cast<int>(loaded);
      if (j == column) chosen = bytesAt(table, at + 1, table[at]);
      at += 1 + table[at];
    }
    refs[loaded] = chosen;
  }
  return static_cast<int>(loaded);
}

void loadAllFor(std::string_view code) {
  loadTable(generalTexts, code, generalRefs);
  loadTable(editorTexts, code, editorRefs);
  loadTable(categoryNames, code, categoryRefs);
  loadTable(displayModeNames, code, displayModeRefs);
  loadTable(messageTexts, code, messageRefs);
  for (int i = 0; i < displayModeCount; ++i) displayModeNameArray[i] = text(static_cast<DisplayModeName>(modeCga + i));
}

std::string_view text(GeneralText k) { return generalRefs[k - 1]; }
std::string_view text(EditorText k) { return editorRefs[k - 1]; }
std::string_view text(CategoryName k) { return categoryRefs[k - 1]; }
std::string_view text(DisplayModeName k) { return displayModeRefs[k - 1]; }
std::string_view text(MessageText k) { return messageRefs[k - 1]; }

}  // namespace texts
