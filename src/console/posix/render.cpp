#include "console/posix/render.h"

#include <algorithm>
#include <charconv>

#include "platform/cp437.h"

namespace terminal {

namespace {

using console::Screen;

int packed(const console::Cell& cell) { return cell.ch | cell.attr << 8; }
std::uint8_t packedAttr(int cell) { return static_cast<std::uint8_t>(cell >> 8); }
std::uint8_t packedCh(int cell) { return static_cast<std::uint8_t>(cell & 0xFF); }

int ansiColour(int dosColour) { return (dosColour & 1) << 2 | (dosColour & 2) | (dosColour & 4) >> 2; }

void appendNumber(std::string& out, int n) {
  char digits[12];
  out.append(digits, std::to_chars(digits, digits + sizeof digits, n).ptr);
}

int glyphLength(std::uint8_t ch) {
  char32_t c = platform::cp437ToUnicode[ch];
  return c < 0x80 ? 1 : c < 0x800 ? 2 : 3;
}

// Keeps the cursor's cell in view, moving the view as little as possible.
int follow(int origin, int cursor, int view, int total) {
  if (cursor < origin) origin = cursor;
  if (cursor >= origin + view) origin = cursor - view + 1;
  return std::clamp(origin, 0, total - view);
}

void setPen(Shown& s, std::uint8_t attr, std::string& out) {
  if (s.pen == attr) return;
  bool fgChanged = s.pen < 0 || (s.pen & 0x0F) != (attr & 0x0F);
  bool bgChanged = s.pen < 0 || (s.pen & 0xF0) != (attr & 0xF0);
  out += "\x1b[";
  if (s.pen < 0) out += "0;";  // also ends bold, underline or reverse left by others
  if (fgChanged) appendNumber(out, foregroundSgr(attr));
  if (fgChanged && bgChanged) out += ';';
  if (bgChanged) appendNumber(out, backgroundSgr(attr));
  out += 'm';
  s.pen = attr;
}

// Moving right on the cursor's row: over the cells themselves when the terminal shows them
// in the current colours and that is shorter than a cursor-forward sequence.
void forwardMove(const Shown& s, int row, int from, int to, std::string& out) {
  int gap = to - from;
  if (gap == 0) return;
  int forward = gap == 1 ? 3 : (gap < 10 ? 4 : 5);
  int reprint = 0;
  for (int c = from; c < to && reprint <= forward; ++c) {
    int cell = s.cells[static_cast<std::size_t>(row * s.width + c)];
    reprint = cell < 0 || packedAttr(cell) != s.pen ? forward + 1 : reprint + glyphLength(packedCh(cell));
  }
  if (reprint <= forward) {
    for (int c = from; c < to; ++c) appendGlyph(out, packedCh(s.cells[static_cast<std::size_t>(row * s.width + c)]));
  } else if (gap == 1) {
    out += "\x1b[C";
  } else {
    out += "\x1b[";
    appendNumber(out, gap);
    out += 'C';
  }
}

void cursorPosition(int row, int column, std::string& out) {
  out += "\x1b[";
  if (row > 0 || column > 0) appendNumber(out, row + 1);
  if (column > 0) {
    out += ';';
    appendNumber(out, column + 1);
  }
  out += 'H';
}

// Moving along a row: back with BS or from column 0 after CR, forward as above.
void horizontalMove(const Shown& s, int row, int from, int to, std::string& out) {
  if (to > from) {
    forwardMove(s, row, from, to, out);
  } else if (to < from) {
    std::string fromStart = "\r";
    forwardMove(s, row, 0, to, fromStart);
    out += from - to < static_cast<int>(fromStart.size()) ? std::string(static_cast<std::size_t>(from - to), '\b')
                                                           : fromStart;
  }
}

// The shortest way to a cell: a full position, or relative moves when the target is on
// the cursor's row or the one below.
void moveTo(Shown& s, int row, int column, std::string& out) {
  std::string best;
  cursorPosition(row, column, best);
  if (s.cursorRow >= 0 && s.cursorColumn >= 0 && (row == s.cursorRow || row == s.cursorRow + 1)) {
    bool pending = s.cursorColumn >= s.columns;
    std::string moves = row == s.cursorRow ? (pending ? "\r" : "") : (pending ? "\r\n" : "\n");
    horizontalMove(s, row, pending ? 0 : s.cursorColumn, column, moves);
    if (moves.size() < best.size()) best = moves;
  }
  out += best;
  s.cursorRow = row;
  s.cursorColumn = column;
}

// Moves the terminal's rows by the rows the model scrolled (and the view moved), so that
// only the rows coming in have to be drawn.
void scrollRows(Shown& s, int shift, std::string& out) {
  auto rowStart = [&](int row) { return s.cells.begin() + row * s.width; };
  if (shift > 0) {
    moveTo(s, s.height - 1, 0, out);
    out.append(static_cast<std::size_t>(shift), '\n');
    std::copy(rowStart(shift), s.cells.end(), s.cells.begin());
    std::fill(rowStart(s.height - shift), s.cells.end(), -1);
  } else {
    moveTo(s, 0, 0, out);
    for (int i = 0; i < -shift; ++i) out += "\x1bM";
    std::copy_backward(s.cells.begin(), rowStart(s.height + shift), s.cells.end());
    std::fill(s.cells.begin(), rowStart(-shift), -1);
  }
}

int changedCells(const Shown& s, const Screen& m) {
  int changed = 0;
  for (int row = 0; row < s.height; ++row)
    for (int column = 0; column < s.width; ++column)
      changed += s.cells[static_cast<std::size_t>(row * s.width + column)] !=
                 packed(m.at(s.left + column + 1, s.top + row + 1));
  return changed;
}

// The attribute most blank cells in view have.
std::uint8_t commonBlankAttribute(const Screen& m, int top, int left, int width, int height) {
  int count[256] = {};
  for (int row = 0; row < height; ++row)
    for (int column = 0; column < width; ++column) {
      const console::Cell& cell = m.at(left + column + 1, top + row + 1);
      if (cell.ch == ' ') ++count[cell.attr];
    }
  return static_cast<std::uint8_t>(std::max_element(count, count + 256) - count);
}

}  // namespace

int foregroundSgr(std::uint8_t attribute) {
  return (attribute & 0x08 ? 90 : 30) + ansiColour(attribute & 0x07);
}

int backgroundSgr(std::uint8_t attribute) {
  return (attribute & 0x80 ? 100 : 40) + ansiColour(attribute >> 4 & 0x07);
}

void appendGlyph(std::string& out, std::uint8_t ch) { platform::appendUtf8(out, platform::cp437ToUnicode[ch]); }

void resetShown(Shown& shown, int columns, int rows) {
  shown.columns = std::max(columns, 1);
  shown.rows = std::max(rows, 1);
  shown.valid = false;
}

void renderFrame(Shown& s, const Screen& m, std::string& out) {
  int width = std::min(s.columns, m.width);
  int height = std::min(s.rows, m.height);
  if (width != s.width || height != s.height) {
    s.width = width;
    s.height = height;
    s.valid = false;
  }
  int top = follow(s.top, m.row - 1, height, m.height);
  int left = follow(s.left, m.column - 1, width, m.width);
  if (s.valid) {
    int shift = m.scrolled + top - s.top;
    bool terminalScrolls = s.rows == height;  // the terminal's last row is the view's
    if (left != s.left || (shift != 0 && (!terminalScrolls || shift >= height || -shift >= height)))
      s.valid = false;
    else if (shift != 0)
      scrollRows(s, shift, out);
  }
  s.top = top;
  s.left = left;
  // A screen that changed almost everywhere (a new screen in other colours) is cheaper
  // cleared and drawn anew than cell by cell.
  if (s.valid && changedCells(s, m) > width * height / 2) s.valid = false;
  if (!s.valid) {
    // Scrolling by line feeds needs the whole screen as the scroll region; a program
    // before us may have left a smaller one.
    out += "\x1b[r";
    // Terminals clear in the current background colour, so clearing in the colours of most
    // blank cells leaves only the rest to draw: a whole menu costs about a kilobyte.
    std::uint8_t fill = commonBlankAttribute(m, top, left, width, height);
    s.pen = -1;
    setPen(s, fill, out);
    out += "\x1b[H\x1b[2J";
    s.cursorRow = s.cursorColumn = 0;
    s.cells.assign(static_cast<std::size_t>(width * height), packed(console::Cell{' ', fill}));
    s.valid = true;
  }
  for (int row = 0; row < height; ++row) {
    for (int column = 0; column < width; ++column) {
      const console::Cell& cell = m.at(left + column + 1, top + row + 1);
      int& shownCell = s.cells[static_cast<std::size_t>(row * width + column)];
      if (shownCell == packed(cell)) continue;
      moveTo(s, row, column, out);
      setPen(s, cell.attr, out);
      appendGlyph(out, cell.ch);
      shownCell = packed(cell);
      // After the last column the terminal holds the cursor there until the next
      // character wraps it: cursorColumn == columns stands for that state, from which
      // only CR (or a full position) leads on.
      ++s.cursorColumn;
    }
  }
  moveTo(s, m.row - 1 - top, m.column - 1 - left, out);
}

void renderLeave(const Shown& s, const Screen& m, std::string& out) {
  int lastUsed = m.row - 1 - (m.column == 1 ? 1 : 0);  // 0-based model row
  for (int row = m.height - 1; row > lastUsed; --row) {
    bool used = false;
    for (int column = 1; column <= m.width && !used; ++column) {
      std::uint8_t ch = m.at(column, row + 1).ch;
      used = ch != ' ' && ch != 0 && ch != 255;
    }
    if (used) lastUsed = row;
  }
  int target = std::max(lastUsed + 1 - s.top, 0);
  out += "\x1b[0m";
  if (target < s.rows) {
    cursorPosition(target, 0, out);
  } else {
    cursorPosition(s.rows - 1, 0, out);
    out += "\r\n";
  }
  out += "\x1b[J";
}

}  // namespace terminal
