// The console operations every screen uses, implemented once over the screen model.
// Writing only changes the model; the device shows it when the program waits for a key
// or a line (and none has been typed ahead), beeps, or ends.
#pragma once

#include <cstdint>
#include <string_view>

#include "base/short_string.h"
#include "console/device.h"

namespace console {

// Takes the window size and the start attribute from the device; clears nothing.
void start(Device& device);
// Shows the model and restores the device; safe to call more than once.
void finish();

// Text attributes: bits 0-3 foreground, bits 4-7 background. The program's own colours:
enum Colours : std::uint8_t {
  screenColours = 0x1E,   // yellow on blue, every screen
  abortColours = 0x0C,    // light red on black, the message that ends a run
  closingColours = 0x0F,  // white on black, the two closing screens
};
// The text attribute that writing and clearing use from now on.
void setTextAttribute(std::uint8_t attribute);

void writeText(std::string_view text);
void clearScreen();
void clearToEndOfLine();
void moveCursor(int column, int row);  // ignored outside the window
int cursorColumn();
int cursorRow();
// One byte: the character, or keyNone and then the scan code on the next call.
std::uint8_t readKey();
// A line typed with echo and editing, ended by Enter; the cursor ends in column 1 of the
// next row. At most the line's capacity is kept. False when the line held a character the
// OEM code page lacks (a console's own line editor takes one; it then stands as "?").
bool readLine(Str& line);
// Shows what changed so far.
void flush();

const Screen& screen();

}  // namespace console
