#include "console/posix/render.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "platform/cp437.h"

namespace {

using console::Cell;
using console::Screen;
using terminal::Shown;

Screen makeScreen(int width = 80, int height = 25, std::uint8_t attr = 0x1E) {
  Screen s;
  s.width = width;
  s.height = height;
  s.cells.assign(static_cast<std::size_t>(width * height), Cell{' ', attr});
  return s;
}

void put(Screen& s, int column, int row, std::string_view text, std::uint8_t attr) {
  for (char c : text) s.at(column++, row) = Cell{static_cast<std::uint8_t>(c), attr};
}

// Scrolls the model as the console layer does.
void scrollModel(Screen& s, int rows, std::uint8_t attr) {
  for (int i = 0; i < rows; ++i) {
    std::copy(s.cells.begin() + s.width, s.cells.end(), s.cells.begin());
    std::fill(s.cells.end() - s.width, s.cells.end(), Cell{' ', attr});
  }
  s.scrolled += rows;
}

// A small terminal that understands what the renderer sends (and fails on anything else),
// with the xterm habits that matter: the cursor stays in the last column until the next
// character wraps it, LF on the last row scrolls.
struct TestTerminal {
  int columns, rows;
  std::vector<Cell> cells;
  int row = 0, column = 0;
  bool wrapPending = false;
  std::uint8_t pen = 0x07;

  TestTerminal(int c, int r) : columns(c), rows(r), cells(static_cast<std::size_t>(c * r), Cell{'?', 0x07}) {}
  Cell& at(int r, int c) { return cells[static_cast<std::size_t>(r * columns + c)]; }

  void lineFeed() {
    if (row < rows - 1) {
      ++row;
    } else {
      std::copy(cells.begin() + columns, cells.end(), cells.begin());
      std::fill(cells.end() - columns, cells.end(), Cell{' ', pen});
    }
  }

  static int dosColour(int ansi) { return (ansi & 1) << 2 | (ansi & 2) | (ansi & 4) >> 2; }

  void sgr(const std::vector<int>& params) {
    for (int p : params) {
      if (p == 0) pen = 0x07;
      else if (p >= 30 && p <= 37) pen = static_cast<std::uint8_t>((pen & 0xF0) | dosColour(p - 30));
      else if (p >= 90 && p <= 97) pen = static_cast<std::uint8_t>((pen & 0xF0) | 8 | dosColour(p - 90));
      else if (p >= 40 && p <= 47) pen = static_cast<std::uint8_t>((pen & 0x0F) | dosColour(p - 40) << 4);
      else if (p >= 100 && p <= 107) pen = static_cast<std::uint8_t>((pen & 0x0F) | (8 | dosColour(p - 100)) << 4);
      else ADD_FAILURE() << "SGR " << p;
    }
  }

  void glyph(char32_t c) {
    int byte = platform::unicodeToCp437(c);
    ASSERT_GE(byte, 0) << "glyph " << static_cast<long>(c);
    if (wrapPending) {
      column = 0;
      lineFeed();
      wrapPending = false;
    }
    at(row, column) = Cell{static_cast<std::uint8_t>(byte), pen};
    if (column == columns - 1)
      wrapPending = true;
    else
      ++column;
  }

  void feed(const std::string& bytes) {
    for (std::size_t i = 0; i < bytes.size();) {
      auto b = static_cast<unsigned char>(bytes[i]);
      if (b == '\r') {
        column = 0, wrapPending = false, ++i;
      } else if (b == '\b') {
        column = std::max(column - 1, 0), wrapPending = false, ++i;
      } else if (b == '\n') {
        lineFeed(), wrapPending = false, ++i;
      } else if (b == 0x1b && i + 1 < bytes.size() && bytes[i + 1] == 'M') {
        wrapPending = false;
        if (row > 0) {
          --row;
        } else {
          std::copy_backward(cells.begin(), cells.end() - columns, cells.end());
          std::fill(cells.begin(), cells.begin() + columns, Cell{' ', pen});
        }
        i += 2;
      } else if (b == 0x1b) {
        ASSERT_EQ(bytes[i + 1], '[');
        std::vector<int> params{0};
        bool any = false;
        for (i += 2; bytes[i] >= '0' && bytes[i] <= ';'; ++i) {
          if (bytes[i] == ';') params.push_back(0);
          else params.back() = params.back() * 10 + (bytes[i] - '0'), any = true;
        }
        char final = bytes[i++];
        wrapPending = false;
        if (final == 'H') {
          row = std::max(params[0], 1) - 1;
          column = params.size() > 1 ? std::max(params[1], 1) - 1 : 0;
        } else if (final == 'C') {
          column = std::min(column + std::max(params[0], 1), columns - 1);
        } else if (final == 'm') {
          sgr(params);
        } else if (final == 'r') {
          EXPECT_FALSE(any) << "scroll region";  // only the reset to the whole screen
          row = column = 0;
        } else if (final == 'J') {
          int from = params[0] == 2 ? 0 : row * columns + column;
          std::fill(cells.begin() + from, cells.end(), Cell{' ', pen});
        } else {
          ADD_FAILURE() << "sequence ending in " << final << (any ? " with parameters" : "");
        }
      } else {
        char32_t c = b;
        int extra = b < 0x80 ? 0 : b < 0xE0 ? 1 : 2;
        if (extra) c = b & (extra == 1 ? 0x1F : 0x0F);
        for (int k = 1; k <= extra; ++k) c = c << 6 | (bytes[i + static_cast<std::size_t>(k)] & 0x3F);
        ASSERT_GE(c, 0x20u) << "control byte sent";
        i += static_cast<std::size_t>(1 + extra);
        glyph(c);
      }
    }
  }

  // Byte 0 has the blank glyph: the terminal cannot tell it from a space.
  static Cell shownAs(Cell cell) {
    if (cell.ch == 0) cell.ch = ' ';
    return cell;
  }

  // The terminal shows model rows top.. and its cursor is on the model's cursor.
  void expectShows(const Screen& m, int top = 0, int left = 0) {
    for (int r = 0; r < std::min(rows, m.height); ++r)
      for (int c = 0; c < std::min(columns, m.width); ++c)
        ASSERT_EQ(at(r, c), shownAs(m.at(left + c + 1, top + r + 1))) << "row " << r + 1 << " column " << c + 1;
    EXPECT_FALSE(wrapPending);
    EXPECT_EQ(row, m.row - 1 - top);
    EXPECT_EQ(column, m.column - 1 - left);
  }
};

// One frame: what the renderer sends, fed to the terminal too.
std::string frame(Shown& shown, Screen& model, TestTerminal& term) {
  std::string out;
  terminal::renderFrame(shown, model, out);
  model.scrolled = 0;
  term.feed(out);
  return out;
}

TEST(Render, ColoursMapToSgrWithRedAndBlueSwapped) {
  const int fg[16] = {30, 34, 32, 36, 31, 35, 33, 37, 90, 94, 92, 96, 91, 95, 93, 97};
  for (int c = 0; c < 16; ++c) {
    EXPECT_EQ(terminal::foregroundSgr(static_cast<std::uint8_t>(c)), fg[c]) << c;
    EXPECT_EQ(terminal::backgroundSgr(static_cast<std::uint8_t>(c << 4)), fg[c] + 10) << c;
  }
  Shown shown;
  terminal::resetShown(shown, 80, 25);
  Screen model = makeScreen(80, 25, 0x1E);  // yellow on blue
  std::string out;
  terminal::renderFrame(shown, model, out);
  EXPECT_NE(out.find("\x1b[0;93;44m"), std::string::npos);
  // Every attribute once: intensity is never drawn as bold (SGR 1).
  for (int a = 0; a < 256; ++a) model.cells[static_cast<std::size_t>(a)].attr = static_cast<std::uint8_t>(a);
  terminal::renderFrame(shown, model, out);
  int colourSequences = 0;
  for (std::size_t at = out.find("\x1b["); at != std::string::npos; at = out.find("\x1b[", at + 1)) {
    std::size_t end = out.find_first_not_of("0123456789;", at + 2);
    if (out[end] != 'm') continue;
    ++colourSequences;
    std::string params(1, ';');
    params += out.substr(at + 2, end - at - 2);
    params += ';';
    EXPECT_EQ(params.find(";1;"), std::string::npos) << params;
  }
  EXPECT_GE(colourSequences, 200);
  // Only what changed is set again, from black on black as from any other pen.
  put(model, 1, 1, "ab", 0x00);
  put(model, 3, 1, "c", 0x10);
  out.clear();
  terminal::renderFrame(shown, model, out);
  EXPECT_NE(out.find("ab\x1b[44mc"), std::string::npos);
  // A cell of byte 0 in black on black is known like any other: drawn again to get past it.
  model.at(2, 2) = Cell{0, 0x00};
  put(model, 3, 2, "d", 0x00);
  terminal::renderFrame(shown, model, out);
  put(model, 1, 2, "e", 0x00);
  put(model, 3, 2, "f", 0x00);
  out.clear();
  terminal::renderFrame(shown, model, out);
  EXPECT_NE(out.find("e f"), std::string::npos);
}

TEST(Render, GlyphsAreUtf8OfCodePage437) {
  std::string out;
  for (std::uint8_t b : {0x41, 0x84, 0xE1, 0xC4, 0xD9, 0x01, 0x1B, 0x7F, 0x00, 0xFF}) terminal::appendGlyph(out, b);
  EXPECT_EQ(out, "A\u00e4\u00df\u2500\u2518\u263a\u2190\u2302 \u00a0");
}

TEST(Render, FirstFrameDrawsEverythingThenOnlyChanges) {
  Shown shown;
  terminal::resetShown(shown, 80, 25);
  TestTerminal term(80, 25);
  Screen model = makeScreen();
  put(model, 1, 1, "Title", 0x1E);
  std::string first = frame(shown, model, term);
  // Cleared in the colours of the blank cells, so only the title is drawn after.
  EXPECT_EQ(first.rfind("\x1b[r\x1b[0;93;44m\x1b[H\x1b[2J", 0), 0u);
  EXPECT_LT(first.size(), 40u);
  term.expectShows(model);
  EXPECT_EQ(frame(shown, model, term), "");  // nothing changed, nothing sent

  // One cell in the middle, cursor elsewhere: a move there, the character, a move back.
  model.at(40, 12).ch = 'X';
  EXPECT_EQ(frame(shown, model, term), "\x1b[12;40HX\x1b[H");
  // The same cell in another colour adds only the colour that differs.
  model.at(40, 12).attr = 0x1F;
  EXPECT_EQ(frame(shown, model, term), "\x1b[12;40H\x1b[97mX\x1b[H");
  // Typing at the cursor: the character alone.
  model.column = 10, model.row = 5;
  frame(shown, model, term);
  model.at(10, 5) = Cell{'y', 0x1F};
  model.column = 11;
  EXPECT_EQ(frame(shown, model, term), "y");
  term.expectShows(model);
  model.at(40, 1).ch = 'T';  // in the first row: the row is named too
  EXPECT_EQ(frame(shown, model, term), "\x1b[1;40H\x1b[93mT\x1b[5;11H");
  // A new screen in other colours is cleared anew, its colours set whole (which also ends
  // any bold or reverse another program left).
  Screen other = makeScreen(80, 25, 0x4F);
  EXPECT_EQ(frame(shown, other, term).rfind("\x1b[r\x1b[0;97;41m\x1b[H\x1b[2J", 0), 0u);
  term.expectShows(other);
}

TEST(Render, NearbyChangesShareOneMove) {
  Shown shown;
  terminal::resetShown(shown, 80, 25);
  TestTerminal term(80, 25);
  Screen model = makeScreen();
  frame(shown, model, term);
  // A menu value switched from "off" to "on ": three cells, one move.
  put(model, 30, 7, "ON ", 0x1E);
  put(model, 36, 7, "X", 0x1E);  // three unchanged cells between: drawn again, cheaper than a move
  std::string out = frame(shown, model, term);
  EXPECT_EQ(out, "\x1b[7;30HON    X\x1b[H");
  // One cell between of three bytes in UTF-8 (a line of a box) costs as much as the move.
  put(model, 10, 8, "\xC4\xC4\xC4", 0x1E);
  frame(shown, model, term);
  put(model, 10, 8, "=", 0x1E);
  put(model, 12, 8, "=", 0x1E);
  EXPECT_EQ(frame(shown, model, term), "\x1b[8;10H=\xE2\x94\x80=\x1b[H");
  put(model, 30, 9, "A", 0x1E);
  put(model, 30, 10, "B", 0x1E);
  put(model, 1, 11, "C", 0x1E);
  out = frame(shown, model, term);
  EXPECT_EQ(out, "\x1b[9;30HA\n\bB\n\rC\x1b[H");
  term.expectShows(model);
  // Five cells between cost more than the move across them (four bytes); 59 more than five.
  put(model, 10, 20, "P", 0x1E);
  put(model, 16, 20, "Q", 0x1E);
  put(model, 76, 20, "R", 0x1E);
  EXPECT_EQ(frame(shown, model, term), "\x1b[20;10HP\x1b[5CQ\x1b[59CR\x1b[H");
}

TEST(Render, TheClearTakesTheColoursOfMostBlankCells) {
  // 25 blank cells in light grey (the first column), 24 in yellow on blue, the rest text.
  Shown shown;
  terminal::resetShown(shown, 80, 25);
  TestTerminal term(80, 25);
  Screen model = makeScreen();
  for (int r = 1; r <= 25; ++r) put(model, 1, r, " " + std::string(79, 'x'), 0x07);
  put(model, 2, 1, std::string(24, ' '), 0x1E);
  EXPECT_EQ(frame(shown, model, term).rfind("\x1b[r\x1b[0;37;40m\x1b[H\x1b[2J", 0), 0u);
  term.expectShows(model);
}

TEST(Render, AScreenChangedInMoreThanHalfItsCellsIsDrawnAnew) {
  for (int changed : {1000, 1001}) {  // half of 80 x 25, and one more
    Shown shown;
    terminal::resetShown(shown, 80, 25);
    TestTerminal term(80, 25);
    Screen model = makeScreen();
    frame(shown, model, term);
    for (int i = 0; i < changed; ++i) model.cells[static_cast<std::size_t>(i)].ch = 'x';
    EXPECT_EQ(frame(shown, model, term).starts_with("\x1b[r"), changed > 1000) << changed;
    term.expectShows(model);
  }
}

TEST(Render, OneChangeOnABusyScreenIsOneCell) {
  Shown shown;
  terminal::resetShown(shown, 80, 25);
  TestTerminal term(80, 25);
  Screen model = makeScreen();
  for (int r = 1; r <= 25; ++r)
    for (int c = 1; c <= 80; ++c) model.at(c, r).ch = static_cast<std::uint8_t>('a' + (c + r) % 26);
  frame(shown, model, term);
  model.at(40, 12).ch = '#';
  EXPECT_EQ(frame(shown, model, term), "\x1b[12;40H#\x1b[H");
  term.expectShows(model);
}

TEST(Render, LastColumnAndLastCellAreDrawnWithoutScrolling) {
  Shown shown;
  terminal::resetShown(shown, 80, 25);
  TestTerminal term(80, 25);
  Screen model = makeScreen();
  frame(shown, model, term);
  put(model, 79, 3, "ab", 0x4F);
  put(model, 1, 4, "cd", 0x4F);
  put(model, 80, 25, "z", 0x4F);
  model.column = 80, model.row = 25;
  frame(shown, model, term);
  term.expectShows(model);
}

TEST(Render, ScrollingMovesTheTerminalsRows) {
  Shown shown;
  terminal::resetShown(shown, 80, 25);
  TestTerminal term(80, 25);
  Screen model = makeScreen();
  for (int r = 1; r <= 25; ++r) put(model, 1, r, "line " + std::to_string(r) + std::string(60, '='), 0x1E);
  frame(shown, model, term);
  scrollModel(model, 2, 0x0C);
  put(model, 1, 25, "new", 0x0C);
  model.row = 25;
  std::string out = frame(shown, model, term);
  term.expectShows(model);
  EXPECT_LT(out.size(), 200u);  // two fresh rows of blanks, not a screenful
  // Scrolled as far as the screen is high or further: drawn anew.
  for (int rows : {25, 30}) {
    scrollModel(model, rows, 0x07);
    put(model, 1, 25, "last", 0x0C);
    out = frame(shown, model, term);
    term.expectShows(model);
    EXPECT_EQ(out.find("\x1b[r\x1b["), 0u) << rows;  // no line feeds first
  }
}

TEST(Render, ShorterTerminalShowsTheRowsAroundTheCursor) {
  Shown shown;
  terminal::resetShown(shown, 80, 24);
  TestTerminal term(80, 24);
  Screen model = makeScreen();  // 25 rows, one more than the terminal
  for (int r = 1; r <= 25; ++r) put(model, 1, r, "row " + std::to_string(r), 0x1E);
  frame(shown, model, term);
  EXPECT_EQ(shown.top, 0);
  term.expectShows(model, 0);

  model.row = 25, model.column = 5;  // typing in the last row: it comes into view
  std::string out = frame(shown, model, term);
  EXPECT_EQ(shown.top, 1);
  term.expectShows(model, 1);
  EXPECT_LT(out.size(), 100u);
  model.row = 24;  // still in view: nothing moves
  frame(shown, model, term);
  EXPECT_EQ(shown.top, 1);
  model.row = 1, model.column = 3;
  out = frame(shown, model, term);
  EXPECT_EQ(shown.top, 0);
  term.expectShows(model, 0);
  EXPECT_EQ(out, "\x1b[H\x1bMrow 1" + std::string(75, ' ') + "\rro");  // the rows below only move

  // The model scrolls while the cursor sits in its last row.
  model.row = 25, model.column = 5;
  frame(shown, model, term);
  scrollModel(model, 1, 0x1E);
  put(model, 1, 25, "after scroll", 0x1E);
  out = frame(shown, model, term);
  term.expectShows(model, 1);
  // One line feed; the row it brought in is drawn whole, since terminals differ in the
  // colours of its blanks.
  EXPECT_EQ(out, "\r\nafter scroll" + std::string(68, ' ') + "\rafte");
}

TEST(Render, NarrowTerminalFollowsTheCursorSideways) {
  Shown shown;
  terminal::resetShown(shown, 60, 30);
  TestTerminal term(60, 30);
  Screen model = makeScreen(80, 30);
  put(model, 1, 1, std::string(80, 'x'), 0x1E);
  model.column = 70;
  frame(shown, model, term);
  EXPECT_EQ(shown.left, 10);  // columns 11 to 70 in view, the cursor in the last one
  for (int c = 0; c < 60; ++c) EXPECT_EQ(term.at(0, c), model.at(c + 11, 1));
  EXPECT_EQ(term.column, 59);
  model.column = 45;  // still in view: the view stays, the cursor moves within it
  frame(shown, model, term);
  EXPECT_EQ(shown.left, 10);
  EXPECT_EQ(term.column, 34);
  model.column = 1;
  frame(shown, model, term);
  EXPECT_EQ(shown.left, 0);
  term.expectShows(model);
}

TEST(Render, RandomEditsKeepTheTerminalEqualToTheModel) {
  std::mt19937 random(7);
  for (int rows : {25, 24}) {
    Shown shown;
    terminal::resetShown(shown, 80, rows);
    TestTerminal term(80, rows);
    Screen model = makeScreen();
    for (int step = 0; step < 300; ++step) {
      int edits = static_cast<int>(random() % 40);
      for (int e = 0; e < edits; ++e)
        model.at(static_cast<int>(random() % 80) + 1, static_cast<int>(random() % 25) + 1) =
            Cell{static_cast<std::uint8_t>(random() % 256), static_cast<std::uint8_t>(random() % 256)};
      if (random() % 10 == 0) scrollModel(model, static_cast<int>(random() % 3) + 1, 0x1E);
      model.column = static_cast<int>(random() % 80) + 1;
      model.row = static_cast<int>(random() % 25) + 1;
      frame(shown, model, term);
      ASSERT_NO_FATAL_FAILURE(term.expectShows(model, shown.top)) << "step " << step << ", " << rows << " rows";
    }
  }
}

TEST(Render, LeavingPutsTheCursorBelowTheLastRowInUse) {
  Shown shown;
  terminal::resetShown(shown, 80, 25);
  Screen model = makeScreen(80, 25, 0x0F);
  std::string out;
  terminal::renderFrame(shown, model, out);
  for (int r = 1; r <= 4; ++r) put(model, 1, r, "closing", 0x0F);
  put(model, 1, 20, std::string_view("\0\xFF ", 3), 0x4F);  // blanks of every kind: not in use
  model.row = 5, model.column = 1;
  out.clear();
  terminal::renderLeave(shown, model, out);
  EXPECT_EQ(out, "\x1b[0m\x1b[5H\x1b[J");
  model.row = 7, model.column = 3;  // the cursor's row counts once something is typed in it
  out.clear();
  terminal::renderLeave(shown, model, out);
  EXPECT_EQ(out, "\x1b[0m\x1b[8H\x1b[J");
  put(model, 80, 25, "!", 0x0F);  // the last row in use, by its last cell: the terminal scrolls one row
  out.clear();
  terminal::renderLeave(shown, model, out);
  EXPECT_EQ(out, "\x1b[0m\x1b[25H\r\n\x1b[J");
  model = makeScreen(80, 25, 0x0F);  // nothing in use, the cursor at the top: no row above it is looked at
  model.row = 1, model.column = 1;
  out.clear();
  terminal::renderLeave(shown, model, out);
  EXPECT_EQ(out, "\x1b[0m\x1b[H\x1b[J");
}

}  // namespace
