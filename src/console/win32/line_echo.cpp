#include "console/win32/line_echo.h"

#include <algorithm>

namespace platform::win32 {

namespace {

void nextRow(console::Screen& s, std::uint8_t attribute) {
  s.column = 1;
  if (s.row < s.height) {
    ++s.row;
    return;
  }
  auto width = static_cast<std::ptrdiff_t>(s.width);
  std::copy(s.cells.begin() + width, s.cells.end(), s.cells.begin());
  std::fill(s.cells.end() - width, s.cells.end(), console::Cell{' ', attribute});
}

}  // namespace

void echoLine(console::Screen& screen, std::string_view echoed, std::uint8_t attribute) {
  for (char c : echoed) {
    screen.at(screen.column, screen.row) = console::Cell{static_cast<std::uint8_t>(c), attribute};
    if (++screen.column > screen.width) nextRow(screen, attribute);
  }
  nextRow(screen, attribute);
}

}  // namespace platform::win32
