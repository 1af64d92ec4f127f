#include "console/console.h"

#include <gtest/gtest.h>

#include <string>

#include "test_support.h"
#include "memory_device.h"

namespace {

using test::pad;

using console::attributeAt;
using console::rowText;

class Console : public ::testing::Test {
 protected:
  void SetUp() override { console::start(device); }
  console::MemoryDevice device{80, 25, 0x07};
};

TEST_F(Console, StartsWithTheDevicesAttributeAndAHomeCursor) {
  EXPECT_EQ(console::cursorColumn(), 1);
  EXPECT_EQ(console::cursorRow(), 1);
  console::finish();
  console::MemoryDevice coloured{80, 25, 0x2A};
  console::start(coloured);
  console::writeText("x");
  EXPECT_EQ(attributeAt(1, 1), 0x2A);
  console::finish();
}

TEST_F(Console, ClearScreenFillsWithTheCurrentAttribute) {
  console::writeText("xyz");
  console::setTextAttribute(30);
  console::clearScreen();
  for (int row = 1; row <= 25; ++row) {
    EXPECT_EQ(rowText(row), pad(""));
    for (int col = 1; col <= 80; ++col) ASSERT_EQ(attributeAt(col, row), 30);
  }
  EXPECT_EQ(console::cursorColumn(), 1);
  EXPECT_EQ(console::cursorRow(), 1);
}

TEST_F(Console, The81stCharacterWrapsToTheNextRow) {
  console::writeText(std::string(80, 'a') + "b");
  EXPECT_EQ(rowText(1), std::string(80, 'a'));
  EXPECT_EQ(rowText(2), pad("b"));
  EXPECT_EQ(console::cursorColumn(), 2);
  EXPECT_EQ(console::cursorRow(), 2);
}

TEST_F(Console, WrappingOnTheLastRowScrollsWithABlankRowInTheCurrentAttribute) {
  console::writeText("top\r\nsecond");
  console::moveCursor(1, 25);
  console::setTextAttribute(0x4E);
  console::writeText(std::string(80, 'z') + "!");
  EXPECT_EQ(rowText(1), pad("second"));
  EXPECT_EQ(rowText(24), std::string(80, 'z'));
  EXPECT_EQ(rowText(25), pad("!"));
  EXPECT_EQ(attributeAt(1, 25), 0x4E);
  EXPECT_EQ(attributeAt(80, 25), 0x4E);
  EXPECT_EQ(console::cursorRow(), 25);
  EXPECT_EQ(console::screen().scrolled, 1);
}

TEST_F(Console, ControlCharacters) {
  console::writeText("abc\rX");  // CR: column 1
  EXPECT_EQ(rowText(1), pad("Xbc"));
  console::writeText("\n");  // LF: one row down, same column
  EXPECT_EQ(console::cursorColumn(), 2);
  EXPECT_EQ(console::cursorRow(), 2);
  console::writeText("\b\b\bY");  // BS stops in column 1
  EXPECT_EQ(rowText(2), pad("Y"));
  console::writeText("\a");  // BEL: a beep, nothing printed, nothing moved
  EXPECT_EQ(device.beeps, 1);
  EXPECT_EQ(device.presents, 1);  // what was written is shown before the beep
  EXPECT_EQ(rowText(2), pad("Y"));
  EXPECT_EQ(console::cursorColumn(), 2);
  console::moveCursor(1, 25);
  console::writeText("\n");  // LF on the last row scrolls
  EXPECT_EQ(rowText(1), pad("Y"));
  EXPECT_EQ(console::cursorRow(), 25);
}

TEST_F(Console, OtherBytesAreShownAsTheyAre) {
  console::writeText("\x01\xDB\x84\xFF");
  EXPECT_EQ(rowText(1), pad("\x01\xDB\x84\xFF"));
}

TEST_F(Console, MoveCursorOutsideTheWindowIsIgnored) {
  console::moveCursor(10, 5);
  for (auto [col, row] : {std::pair{0, 5}, {81, 5}, {5, 0}, {5, 26}, {-1, -1}}) {
    console::moveCursor(col, row);
    EXPECT_EQ(console::cursorColumn(), 10);
    EXPECT_EQ(console::cursorRow(), 5);
  }
  console::moveCursor(80, 25);
  EXPECT_EQ(console::cursorColumn(), 80);
}

TEST_F(Console, ClearToEndOfLineKeepsTheCursor) {
  console::writeText(std::string(80, 'q'));
  console::moveCursor(70, 1);
  console::setTextAttribute(12);
  console::clearToEndOfLine();
  EXPECT_EQ(rowText(1), pad(std::string(69, 'q')));
  EXPECT_EQ(attributeAt(69, 1), 0x07);
  EXPECT_EQ(attributeAt(70, 1), 12);
  EXPECT_EQ(attributeAt(80, 1), 12);
  EXPECT_EQ(console::cursorColumn(), 70);
}

TEST_F(Console, KeysWithoutACharacterComeAsZeroThenTheScanCode) {
  device.press(59);                 // F1
  device.pressChar(224, 72);        // grey cursor up
  device.typeUnfit();               // no key at all
  device.type("a");
  EXPECT_EQ(console::readKey(), 0);
  EXPECT_EQ(console::readKey(), 59);
  EXPECT_EQ(console::readKey(), 0);
  EXPECT_EQ(console::readKey(), 72);
  EXPECT_EQ(console::readKey(), 'a');
}

TEST(ConsoleCodePage, On866The224IsALetter) {
  console::MemoryDevice device;
  device.codePageValue = 866;
  console::start(device);
  device.pressChar(224, 72);
  EXPECT_EQ(console::readKey(), 224);
}

TEST_F(Console, ReadLineEditsAndEchoes) {
  console::setTextAttribute(0x1E);
  console::moveCursor(5, 3);
  device.type("abX\bc\x1bhel\xE0l");  // 224 leads a grey cursor key: no character
  device.typeUnfit();  // a beep, and nothing in the line
  device.type("o\b!\r");
  device.press(72);  // keys without a character are not typed
  device.type("\r");
  Str line;
  console::readLine(line);
  EXPECT_EQ(line, "hell!");
  EXPECT_EQ(device.beeps, 1);
  EXPECT_EQ(rowText(3), pad("    hell!"));
  EXPECT_EQ(attributeAt(5, 3), 0x1E);
  EXPECT_EQ(console::cursorColumn(), 1);
  EXPECT_EQ(console::cursorRow(), 4);
  console::readLine(line);
  EXPECT_EQ(line, "");
}

TEST_F(Console, ReadLineKeeps255AndRubsOutAcrossARowBreak) {
  console::moveCursor(78, 1);
  device.type("abcd\b\b\bZ\r");
  Str line;
  console::readLine(line);
  EXPECT_EQ(line, "aZ");
  EXPECT_EQ(rowText(1), pad(std::string(77, ' ') + "aZ"));
  EXPECT_EQ(rowText(2), pad(""));
  device.type(std::string(300, 'w') + "\r");
  console::readLine(line);
  EXPECT_EQ(line.size(), 255u);
  EXPECT_EQ(rowText(5), pad(std::string(255 - 3 * 80, 'w')));  // nor is more shown
}

TEST_F(Console, KeysTypedAheadAreShownInOneFrameWhenTheyRunOut) {
  device.type("ab\bc\r");  // a line, then a cursor key, all at once
  device.press(72);
  Str line;
  console::readLine(line);
  EXPECT_EQ(device.presents, 1);  // the first screen, before any key is taken
  EXPECT_EQ(console::readKey(), 0);
  EXPECT_EQ(console::readKey(), 72);
  EXPECT_EQ(device.presents, 1);
  test::runtimeErrorOf([] { console::readKey(); });  // the program waits: the screen goes out
  EXPECT_EQ(device.presents, 2);
  EXPECT_EQ(rowText(1), pad("ac"));
}

TEST_F(Console, EndOfInputStopsTheRunWithError100) {
  EXPECT_EQ(test::runtimeErrorOf([] { console::readKey(); }), 100);
  Str line;
  device.type("abc");
  EXPECT_EQ(test::runtimeErrorOf([&line] { console::readLine(line); }), 100);
}

}  // namespace

TEST(ConsoleWindow, TheModelKeepsASaneSizeForAnyReportedWindow) {
  // Reported size, model size.
  struct {
    int width, height, modelWidth, modelHeight;
  } cases[] = {
      {0, 0, 80, 25},          {0, 60, 80, 25},         {132, 0, 80, 25},
      {80, 24, 80, 24},        {200, 60, 200, 60},      {512, 256, 512, 256},
      {513, 257, 512, 256},    {50000, 50000, 512, 256}, {65535, 65535, 512, 256},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height));
    console::MemoryDevice device{c.width, c.height};
    console::start(device);
    const console::Screen& screen = console::screen();
    EXPECT_EQ(screen.width, c.modelWidth);
    EXPECT_EQ(screen.height, c.modelHeight);
    EXPECT_EQ(screen.cells.size(), static_cast<std::size_t>(c.modelWidth * c.modelHeight));
    console::moveCursor(c.modelWidth, c.modelHeight);
    console::writeText("xy");  // the last cell, then a wrap that scrolls
    EXPECT_EQ(rowText(c.modelHeight - 1).back(), 'x');
    EXPECT_EQ(rowText(c.modelHeight).front(), 'y');
  }
}
