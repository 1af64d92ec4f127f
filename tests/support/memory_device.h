// A console device for the unit tests: keys come from a queue, the cells are read back
// from the model. When the queue is empty, input has ended.
#pragma once

#include <deque>
#include <string>
#include <string_view>

#include "console/device.h"

namespace console {

class MemoryDevice : public Device {
 public:
  explicit MemoryDevice(int width = 80, int height = 25, std::uint8_t attribute = startColours)
      : width_(width), height_(height), attribute_(attribute) {}

  // Queues typed characters ("\r" is Enter, "\x1b" Esc).
  void type(std::string_view text);
  // Queues a key without a character.
  void press(std::uint8_t scan);
  // Queues a key with a character and a scan code (224 and the grey cursor keys).
  void pressChar(std::uint8_t ch, std::uint8_t scan);
  // Queues a character the OEM code page lacks.
  void typeUnfit() { keys_.push_back(KeyEvent{0, 0, false, true}); }

  int codePageValue = 437;
  int beeps = 0;
  int presents = 0;
  bool finished = false;

  void windowSize(int& width, int& height) override;
  std::uint8_t startAttribute() override { return attribute_; }
  int codePage() override { return codePageValue; }
  void present(const Screen&) override { ++presents; }
  void beep() override { ++beeps; }
  KeyEvent readKey() override;
  bool keyWaiting() override { return !keys_.empty(); }
  void finish(const Screen&) override { finished = true; }

 private:
  int width_, height_;
  std::uint8_t attribute_;
  std::deque<KeyEvent> keys_;
};

// The text of row r (1-based) of the current screen, trailing blanks kept.
std::string rowText(int row);
// The attribute of one cell.
std::uint8_t attributeAt(int column, int row);

}  // namespace console
