// What the console's own line editor leaves on the screen, applied to the screen model.
#pragma once

#include <cstdint>
#include <string_view>

#include "console/device.h"

namespace platform::win32 {

// Writes the echoed line at the model's cursor in the attribute, wrapping at the right
// edge, then moves to column 1 of the next row; at the bottom the rows move up and a blank
// row in the attribute comes in, as the console scrolls its window. screen.scrolled is
// left alone: the console has scrolled itself already.
void echoLine(console::Screen& screen, std::string_view echoed, std::uint8_t attribute);

}  // namespace platform::win32
