#include "console/win32/line_echo.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using console::Cell;
using console::Screen;
using platform::win32::echoLine;

Screen blankScreen(int width, int height) {
  Screen s;
  s.width = width;
  s.height = height;
  s.cells.assign(static_cast<std::size_t>(width * height), Cell{' ', 0x07});
  return s;
}

std::string rowOf(const Screen& s, int row) {
  std::string text;
  for (int col = 1; col <= s.width; ++col) text += static_cast<char>(s.at(col, row).ch);
  return text;
}

TEST(LineEcho, TheLineStandsAtTheCursorInTheAttributeAndTheCursorGoesToTheNextRow) {
  Screen s = blankScreen(10, 4);
  s.column = 4;
  s.row = 2;
  echoLine(s, "abc", 0x1E);
  EXPECT_EQ(rowOf(s, 2), "   abc    ");
  EXPECT_EQ(s.at(4, 2).attr, 0x1E);
  EXPECT_EQ(s.at(7, 2).attr, 0x07);
  EXPECT_EQ(s.column, 1);
  EXPECT_EQ(s.row, 3);
}

TEST(LineEcho, ALongLineWrapsAndOnTheLastRowTheRowsMoveUp) {
  Screen s = blankScreen(10, 3);
  s.at(1, 1).ch = 'x';
  s.at(1, 2).ch = 'y';
  s.column = 8;
  s.row = 3;
  echoLine(s, "123456", 0x4F);
  // "123" ends row 3, which moves up; "456" goes on in the new row, then Enter moves up again.
  EXPECT_EQ(rowOf(s, 1), "       123");
  EXPECT_EQ(rowOf(s, 2), "456       ");
  EXPECT_EQ(rowOf(s, 3), std::string(10, ' '));
  EXPECT_EQ(s.at(10, 3).attr, 0x4F);
  EXPECT_EQ(s.column, 1);
  EXPECT_EQ(s.row, 3);
  EXPECT_EQ(s.scrolled, 0);  // the console has done its own scrolling
}

TEST(LineEcho, AnEmptyLineOnlyMovesDown) {
  Screen s = blankScreen(10, 3);
  s.column = 5;
  s.row = 1;
  echoLine(s, "", 0x1E);
  EXPECT_EQ(rowOf(s, 1), std::string(10, ' '));
  EXPECT_EQ(s.column, 1);
  EXPECT_EQ(s.row, 2);
}

}  // namespace
