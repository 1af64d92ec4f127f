// The seam between the console layer and a real (or pretend) console. A device shows the
// cells of the screen model and delivers keys; everything else lives in the core.
#pragma once

#include <cstdint>
#include <vector>

#include "base/short_string.h"

namespace console {

// Light grey on black: a console's colours before anyone sets them, and the terminal's.
inline constexpr std::uint8_t startColours = 0x07;

struct Cell {
  std::uint8_t ch = ' ';  // OEM code page byte
  std::uint8_t attr = startColours;
  bool operator==(const Cell&) const = default;
};

// The largest model. A terminal may report any size up to 65535 x 65535; the screens are
// made for 80 x 25, and a model of this size still costs well under a megabyte.
constexpr int maxWidth = 512;
constexpr int maxHeight = 256;

// The console as the program sees it: width x height cells, a 1-based cursor.
struct Screen {
  int width = 80;
  int height = 25;
  std::vector<Cell> cells;  // row-major, allocated once at start
  int column = 1;
  int row = 1;
  // Rows scrolled up since the device last presented the screen. A device may use it to
  // scroll its own copy instead of redrawing; it is reset after every present.
  int scrolled = 0;

  Cell& at(int col, int r) { return cells[static_cast<std::size_t>((r - 1) * width + (col - 1))]; }
  const Cell& at(int col, int r) const {
    return cells[static_cast<std::size_t>((r - 1) * width + (col - 1))];
  }
};

// The keys the program tells apart by their character. keyNone is the character of a key
// without one (cursor and function keys, Alt with a letter): readKey gives its scan code next.
enum Key : std::uint8_t { keyNone = 0, keyBackspace = 8, keyEnter = 13, keyEsc = 27 };

// The PC scan codes of the keys without a character that the program is sent. An Alt
// key reports the code of its key instead.
enum Scan : std::uint8_t {
  scanF1 = 59, scanF2, scanF3, scanF4, scanF5, scanF6, scanF7, scanF8, scanF9, scanF10,
  scanHome = 71, scanUp = 72, scanPageUp = 73, scanLeft = 75, scanRight = 77, scanEnd = 79,
  scanDown = 80, scanPageDown = 81, scanInsert = 82, scanDelete = 83, scanF11 = 133, scanF12 = 134,
};

// One key press. ch is the character in the OEM code page, 0 for a key without one
// (then scan is its PC scan code). end marks the end of keyboard input. unfit marks a
// character typed that the OEM code page lacks: nothing to take, only to refuse.
struct KeyEvent {
  std::uint8_t ch = 0;
  std::uint8_t scan = 0;
  bool end = false;
  bool unfit = false;
};

class Device {
 public:
  virtual ~Device() = default;
  // Asked once at start: the window size and the attribute found at the cursor. The model
  // takes at most maxWidth x maxHeight of it; a size of 0 means 80 x 25.
  virtual void windowSize(int& width, int& height) = 0;
  virtual std::uint8_t startAttribute() = 0;
  // The keyboard's code page; 224 is a letter only on 866.
  virtual int codePage() { return 437; }
  // Shows what changed since the last call, then places the visible cursor.
  virtual void present(const Screen& screen) = 0;
  virtual void beep() = 0;
  // Waits for the next key.
  virtual KeyEvent readKey() = 0;
  // True when readKey has a key to return without waiting (typed ahead, pasted). The core
  // shows the screen only when no key is waiting.
  virtual bool keyWaiting() { return false; }
  // A device with a line editor of its own shows the screen, then reads the line here
  // (echoing it into the screen) and returns true, with unfit set when the line held a
  // character the OEM code page lacks; the others return false and the core edits the line.
  virtual bool readLine(Screen& /*screen*/, Str& /*line*/, std::uint8_t /*attribute*/, bool& /*unfit*/) {
    return false;
  }
  // Every way out of the program ends here: show the last screen, restore the console.
  virtual void finish(const Screen& /*screen*/) {}
};

}  // namespace console
