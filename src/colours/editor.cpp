#include "colours/editor.h"

#include <algorithm>
#include <cstring>

#include "base/ascii.h"
#include "console/console.h"
#include "prompts/prompts.h"
#include "platform/platform.h"
#include "texts/texts.h"

namespace {

constexpr int categoryCount = 15;

// Asks for the file, then loads it, or asks for a comment when it is a new table. Returns
// the name of the file this call reads and writes.
Str openTable(const platform::Machine& m, Str& name, ColourTable& table) {
  newScreen();
  console::moveCursor(20, 10);
  if (name.empty()) name = "TEST";
  Str prompt = texts::text(texts::edtFileName);
  prompt += "? [ ";
  prompt += name;
  prompt += " ] ";
  console::writeText(prompt);

  // A name that holds no colour table is never written over: the prompt refuses it and
  // waits again, so a mistyped name costs no change made in the menu.
  Str fileName;
  readAnswer(fileName, [&m, &name](Str& answer) {
    // An empty answer keeps the name as it stands: a relative name means the current directory.
    if (!answer.empty()) answer = platform::expandPath(m, answer);
    return mayHoldColourTable(m, answer.empty() ? name : answer);
  });
  if (fileName.empty()) {
    fileName = name;
  } else {
    name = fileName;
  }
  if (readColourTable(m, fileName, table)) return fileName;

  console::moveCursor(20, 12);
  console::writeText(texts::text(texts::edtComment));
  // The blanks stay behind a shorter comment and go into the file with it.
  std::memset(table.comment, ' ', sizeof table.comment);
  Str line;
  readAnswer(line, [](Str&) { return true; });  // only a letter the code page lacks is refused
  std::size_t length = std::min(line.size(), sizeof table.comment);
  std::memcpy(table.comment, line.data(), length);
  table.commentLength = static_cast<std::uint8_t>(length);
  return fileName;
}

void drawCategories(const ColourTable& table) {
  for (int k = 1; k <= categoryCount; ++k) {
    const ColourPair& pair = table.pairs[k - 1];
    console::moveCursor(22, k + 2);
    console::setTextAttribute(static_cast<std::uint8_t>(pair.foreground + pair.background));
    Str row = " ";
    row += static_cast<char>('@' + k);
    row += "   ";
    row += texts::text(static_cast<texts::CategoryName>(k)).substr(0, 36);
    while (row.size() < 41) row += ' ';
    console::writeText(row);
  }
}

// Colour c on black in columns 5c+1 to 5c+4 of the bottom row; column 80 stays untouched.
void drawPalette() {
  for (int c = 0; c < 16; ++c) {
    console::moveCursor(5 * c + 1, 25);
    console::setTextAttribute(static_cast<std::uint8_t>(c));
    console::writeText(c < 15 ? "\xDB\xDB\xDB\xDB " : "\xDB\xDB\xDB\xDB");
  }
}

void drawLegend() {
  console::setTextAttribute(console::screenColours);
  console::moveCursor(1, 19);
  const std::string_view indent = "                  ";
  auto key = [](texts::MessageText letter) {
    Str keys = "[";
    keys += texts::text(letter);
    keys += "] ";
    return keys;
  };
  const struct {
    Str keys;
    texts::EditorText text;
  } lines[] = {
      {key(texts::msgKeysSave), texts::edtSave},
      {key(texts::msgKeysDrop), texts::edtDrop},
      {"[a]..[o] ", texts::edtForeground},
      {"[A]..[O] ", texts::edtBackground},
  };
  for (const auto& l : lines) {
    Str line = indent;
    line += l.keys;
    line += texts::text(l.text);
    line += "\r\n";
    console::writeText(line);
  }
  console::writeText("                   ");  // the cursor waits in column 20
}

// Colour 15 wraps to 0; the other nibble of the byte is left as it is.
void stepForeground(std::uint8_t& colour) {
  if ((colour & 0x0F) == 0x0F)
    colour &= 0xF0;
  else
    colour = static_cast<std::uint8_t>(colour + 1);
}

// The high nibble: 15 wraps to 0 as the byte overflows.
void stepBackground(std::uint8_t& colour) { colour = static_cast<std::uint8_t>(colour + 16); }

}  // namespace

bool editColourTable(const platform::Machine& m, Str& name, ColourTable& table) {
  Str fileName = openTable(m, name, table);
  newScreen();
  for (;;) {
    drawCategories(table);
    drawPalette();
    drawLegend();
    std::uint8_t key = console::readKey();
    if (key == console::keyNone) {
      console::readKey();  // a cursor or function key: its scan code is no letter here
      continue;
    }
    if (key == console::keyEsc || answers(texts::msgKeysDrop, ascii::lower(static_cast<char>(key)))) return false;
    if (key >= 'a' && key <= 'o') {
      stepForeground(table.pairs[key - 'a'].foreground);
    } else if (key >= 'A' && key <= 'O') {
      stepBackground(table.pairs[key - 'A'].background);
    } else if (key == console::keyEnter || answers(texts::msgKeysSave, ascii::lower(static_cast<char>(key)))) {
      writeColourTable(m, fileName, table);
      return true;
    }
  }
}
