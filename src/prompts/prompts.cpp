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
