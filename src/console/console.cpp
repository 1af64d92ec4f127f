#include "console/console.h"

#include <algorithm>

#include "platform/platform.h"

namespace console {

namespace {

// The process has one console, which every screen writes to.
struct State {
  Device* device = nullptr;
  Screen model;
  std::uint8_t textAttribute = startColours;
  int codePage = 437;
  int pendingScan = -1;  // the scan code held back by readKey
  bool presented = false;  // the device has shown the model at least once
};
State state;

Cell blank() { return Cell{' ', state.textAttribute}; }

void scrollUp() {
  std::copy(state.model.cells.begin() + state.model.width, state.model.cells.end(), state.model.cells.begin());
  std::fill(state.model.cells.end() - state.model.width, state.model.cells.end(), blank());
  ++state.model.scrolled;
}

void lineFeed() {
  if (state.model.row < state.model.height)
    ++state.model.row;
  else
    scrollUp();
}

void putChar(std::uint8_t c) {
  switch (c) {
    case '\r': state.model.column = 1; return;
    case '\n': lineFeed(); return;
    case '\b':
      if (state.model.column > 1) --state.model.column;
      return;
    case '\a':
      flush();
      state.device->beep();
      return;
    default:
      state.model.at(state.model.column, state.model.row) = Cell{c, state.textAttribute};
      if (++state.model.column > state.model.width) {
        state.model.column = 1;
        lineFeed();
      }
  }
}

// The screen is shown when the program is about to wait: keys already typed are taken
// first, so a paste or keys typed ahead cost one frame, not one each. The first frame goes
// out before any key is taken: a run whose output fails stops before it acts on a key.
KeyEvent nextEvent() {
  if (!state.presented || !state.device->keyWaiting()) flush();
  KeyEvent e = state.device->readKey();
  if (e.end) platform::runtimeError(100);  // keyboard input is over: nothing more can happen
  return e;
}

// Removes the last character echoed by the line editor.
void rubOut() {
  if (state.model.column > 1) {
    writeText("\b \b");
  } else if (state.model.row > 1) {
    moveCursor(state.model.width, state.model.row - 1);
    state.model.at(state.model.column, state.model.row) = blank();
  }
}

}  // namespace

void start(Device& d) {
  state.device = &d;
  state.device->windowSize(state.model.width, state.model.height);
  if (state.model.width <= 0 || state.model.height <= 0) {
    state.model.width = 80;
    state.model.height = 25;
  }
  state.model.width = std::min(state.model.width, maxWidth);
  state.model.height = std::min(state.model.height, maxHeight);
  state.model.cells.assign(static_cast<std::size_t>(state.model.width * state.model.height), Cell{});
  state.model.column = state.model.row = 1;
  state.model.scrolled = 0;
  state.codePage = state.device->codePage();
  state.textAttribute = state.device->startAttribute();
  state.pendingScan = -1;
  state.presented = false;
}

void finish() {
  if (!state.device) return;
  Device* d = state.device;
  state.device = nullptr;  // a failure while finishing must not come back here
  d->finish(state.model);
}

void flush() {
  if (!state.device) return;
  state.device->present(state.model);
  state.model.scrolled = 0;
  state.presented = true;
}

const Screen& screen() { return state.model; }

void setTextAttribute(std::uint8_t attribute) { state.textAttribute = attribute; }

void writeText(std::string_view text) {
  for (char c : text) putChar(static_cast<std::uint8_t>(c));
}

void clearScreen() {
  std::fill(state.model.cells.begin(), state.model.cells.end(), blank());
  state.model.column = state.model.row = 1;
}

void clearToEndOfLine() {
  for (int col = state.model.column; col <= state.model.width; ++col) state.model.at(col, state.model.row) = blank();
}

void moveCursor(int column, int row) {
  if (column < 1 || column > state.model.width || row < 1 || row > state.model.height) return;
  state.model.column = column;
  state.model.row = row;
}

int cursorColumn() { return state.model.column; }
int cursorRow() { return state.model.row; }

std::uint8_t readKey() {
  if (state.pendingScan >= 0) {
    auto scan = static_cast<std::uint8_t>(state.pendingScan);
    state.pendingScan = -1;
    return scan;
  }
  KeyEvent e = nextEvent();
  while (e.unfit) e = nextEvent();  // no key means a character the code page lacks
  if (e.ch == keyNone || (e.ch == 224 && state.codePage != 866)) {
    state.pendingScan = e.scan;
    return 0;
  }
  return e.ch;
}

bool readLine(Str& line) {
  line.clear();
  bool unfit = false;
  if (state.device->readLine(state.model, line, state.textAttribute, unfit)) return !unfit;
  for (;;) {
    KeyEvent e = nextEvent();
    if (e.unfit) {
      state.device->beep();  // not taken: the line would hold another letter
      continue;
    }
    if (e.ch == keyEnter) break;
    if (e.ch == keyBackspace) {
      if (!line.empty()) {
        line.cutTail(1);
        rubOut();
      }
    } else if (e.ch == keyEsc) {
      for (; !line.empty(); line.cutTail(1)) rubOut();
    } else if (e.ch >= 32 && !(e.ch == 224 && state.codePage != 866) && line.size() < Str::capacity) {
      line += static_cast<char>(e.ch);
      putChar(e.ch);
    }
  }
  writeText("\r\n");
  return true;
}

}  // namespace console
