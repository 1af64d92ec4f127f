#include "memory_device.h"

#include "console/console.h"

namespace console {

void MemoryDevice::type(std::string_view text) {
  for (char c : text) keys_.push_back(KeyEvent{static_cast<std::uint8_t>(c), 0, false});
}

void MemoryDevice::press(std::uint8_t scan) { keys_.push_back(KeyEvent{0, scan, false}); }

void MemoryDevice::pressChar(std::uint8_t ch, std::uint8_t scan) { keys_.push_back(KeyEvent{ch, scan, false}); }

void MemoryDevice::windowSize(int& width, int& height) {
  width = width_;
  height = height_;
}

KeyEvent MemoryDevice::readKey() {
  if (keys_.empty()) return KeyEvent{0, 0, true};
  KeyEvent e = keys_.front();
  keys_.pop_front();
  return e;
}

std::string rowText(int row) {
  const Screen& s = screen();
  std::string text;
  for (int col = 1; col <= s.width; ++col) text += static_cast<char>(s.at(col, row).ch);
  return text;
}

std::uint8_t attributeAt(int column, int row) { return screen().at(column, row).attr; }

}  // namespace console
