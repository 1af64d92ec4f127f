#include "prompts/prompts.h"

#include "base/ascii.h"
#include "base/number.h"
#include "console/console.h"

void newScreen() {
  console::setTextAttribute(console::screenColours);
  console::clearScreen();
}

std::uint8_t readKeyUpper() {
  std::uint8_t key = console::readKey();
  return static_cast<std::uint8_t>(ascii::upper(static_cast<char>(key)));
}

void abortWithMessage(std::string_view text) {
  console::setTextAttribute(console::abortColours);
  console::writeText("\r");
  console::writeText(text);
  console::clearToEndOfLine();
  console::setTextAttribute(console::screenColours);
  console::writeText("\r\n");
  readKeyUpper();  // blocks until a key is waiting, then takes it
}

void showFileRow(std::string_view what, std::string_view fileName) {
  console::writeText(what);
  console::writeText(fileName);
  console::writeText(" ...\r\n");
}

void readNumber(std::int32_t& value, std::int32_t lo, std::int32_t hi) {
  Str line;
  for (;;) {
    console::readLine(line);
    if (convertNumber(line, value) && value >= lo && value <= hi) return;
  }
}

void readAnswer(Str& answer, const std::function<bool(Str&)>& accept) {
  const int column = console::cursorColumn();
  int row = console::cursorRow();
  for (;;) {
    bool fits = console::readLine(answer);
    const int width = console::screen().width;
    const int expectedRow = row + (column - 1 + static_cast<int>(answer.size())) / width + 1;
    row -= expectedRow - console::cursorRow();  // rows scrolled away by a long answer
    if (fits && accept(answer)) return;

    console::writeText("\a");
    for (int r = console::cursorRow() - 1; r > row; --r) {
      console::moveCursor(1, r);
      console::clearToEndOfLine();
    }
    console::moveCursor(column, row);
    console::clearToEndOfLine();
  }
}
