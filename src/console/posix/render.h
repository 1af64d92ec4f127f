// Draws the screen model into a VT/xterm terminal. The terminal is seen as a grid of cells
// like the model; a frame sends only the cells that differ from what the terminal already
// shows, moving the cursor and changing colours only where needed.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "console/device.h"

namespace terminal {

// What the terminal shows. The model may be larger than the terminal (it is never smaller
// than 80 x 25); then the terminal shows the part of it that holds the cursor.
struct Shown {
  int columns = 80, rows = 25;  // the terminal's size
  int left = 0, top = 0;        // model cell (0-based) shown at the terminal's top left
  int width = 0, height = 0;    // the part of the model in view
  // The cells in view as the terminal shows them, row-major; unknown cells hold -1.
  std::vector<int> cells;
  // 0-based in the terminal; -1 when not known; cursorColumn == columns after the last
  // column was written (the terminal wraps only at the next character).
  int cursorColumn = -1, cursorRow = -1;
  int pen = -1;                           // attribute the terminal draws with; -1 unknown
  bool valid = false;                     // false: clear and draw everything
};

// A terminal of this size whose content is not known: the next frame draws everything.
void resetShown(Shown& shown, int columns, int rows);
// Appends the bytes that make the terminal show the model, and places the cursor.
void renderFrame(Shown& shown, const console::Screen& model, std::string& out);
// Appends the bytes that hand the terminal back after the last frame: colours reset, the
// cursor at the start of the row below the last row in use, the rest below cleared.
void renderLeave(const Shown& shown, const console::Screen& model, std::string& out);

// The SGR colour numbers of a text attribute (DOS colours: bit 0 blue, ANSI: bit 0 red).
int foregroundSgr(std::uint8_t attribute);
int backgroundSgr(std::uint8_t attribute);
// The glyph of an OEM byte in UTF-8.
void appendGlyph(std::string& out, std::uint8_t ch);

}  // namespace terminal
