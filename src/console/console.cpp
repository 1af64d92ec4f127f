#include "console/console.h"

#include <algorithm>

#include "platform/platform.h"

namespace console {

// The process has one console, which every screen writes to: its model, its device and the
// current attribute live here.
std::uint8_t textAttribute = 0x07;

namespace {

Device* device = nullptr;
Screen model;
int codePage = 437;
int pendingScan = -1;  // the scan code held back by readKey
bool presented = false;  // the device has shown the model at least once

void scrollUp() {
  std::copy(model.cells.begin() + model.width, model.cells.end(), model.cells.begin());
  std::fill(model.cells.end() - model.width, model.cells.end(), Cell{' ', textAttribute});
  ++model.scrolled;
}

void lineFeed() {
  if (model.row < model.height)
    ++model.row;
  else
    scrollUp();
}

void putChar(std::uint8_t c) {
  switch (c) {
    case 13: model.column = 1; return;
    case 10: lineFeed(); return;
    case 8:
      if (model.column > 1) --model.column;
      return;
    case 7:
      flush();
      device->beep();
      return;
    default:
      model.at(model.column, model.row) = Cell{c, textAttribute};
      if (++model.column > model.width) {
        model.column = 1;
        lineFeed();
      }
  }
}

// The screen is shown when the program is about to wait: keys already typed are taken
// first, so a paste or keys typed ahead cost one frame, not one each. The first frame goes
// out before any key is taken: a run whose output fails stops before it acts on a key.
KeyEvent nextEvent() {
  if (!presented || !device->keyWaiting()) flush();
  KeyEvent e = device->readKey();
  if (e.end) platform::runtimeError(100);  // keyboard input is over: nothing more can happen
  return e;
}

// Removes the last character echoed by the line editor.
void rubOut() {
  if (model.column > 1) {
    writeText("\b \b");
  } else if (model.row > 1) {
    moveCursor(model.width, model.row - 1);
    model.at(model.column, model.row) = Cell{' ', textAttribute};
  }
}

}  // namespace

void start(Device& d) {
  device = &d;
  device->windowSize(model.width, model.height);
  if (model.width <= 0 || model.height <= 0) {
    model.width = 80;
    model.height = 25;
  }
  model.width = std::min(model.width, maxWidth);
  model.height = std::min(model.height, maxHeight);
  model.cells.assign(static_cast<std::size_t>(model.width * model.height), Cell{});
  model.column = model.row = 1;
  model.scrolled = 0;
  codePage = device->codePage();
  textAttribute = device->startAttribute();
  pendingScan = -1;
  presented = false;
}

void finish() {
  if (!device) return;
  Device* d = device;
  device = nullptr;  // a failure while finishing must not come back here
  d->finish(model);
}

void flush() {
  if (!device) return;
  device->present(model);
  model.scrolled = 0;
  presented = true;
}

const Screen& screen() { return model; }

void writeText(std::string_view text) {
  for (char c : text) putChar(static_cast<std::uint8_t>(c));
}

void clearScreen() {
  std::fill(model.cells.begin(), model.cells.end(), Cell{' ', textAttribute});
  model.column = model.row = 1;
}

void clearToEndOfLine() {
  for (int col = model.column; col <= model.width; ++col) model.at(col, model.row) = Cell{' ', textAttribute};
}

void moveCursor(int column, int row) {
  if (column < 1 || column > model.width || row < 1 || row > model.height) return;
  model.column = column;
  model.row = row;
}

int cursorColumn() { return model.column; }
int cursorRow() { return model.row; }

std::uint8_t readKey() {
  if (pendingScan >= 0) {
    auto scan = static_cast<std::uint8_t>(pendingScan);
    pendingScan = -1;
    return scan;
  }
  KeyEvent e = nextEvent();
  if (e.ch == 0 || (e.ch == 224 && codePage != 866)) {
    pendingScan = e.scan;
    return 0;
  }
  return e.ch;
}

void readLine(Str& line) {
  line.clear();
  if (device->readLine(model, line, textAttribute)) return;
  for (;;) {
    KeyEvent e = nextEvent();
    if (e.ch == 13) break;
    if (e.ch == 8) {
      if (!line.empty()) {
        line.cutTail(1);
        rubOut();
      }
    } else if (e.ch == 27) {
      for (; !line.empty(); line.cutTail(1)) rubOut();
    } else if (e.ch >= 32 && !(e.ch == 224 && codePage != 866) && line.size() < Str::capacity) {
      line += static_cast<char>(e.ch);
      putChar(e.ch);
    }
  }
  writeText("\r\n");
}

}  // namespace console
