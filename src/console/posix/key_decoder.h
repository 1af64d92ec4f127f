// Turns the bytes a terminal sends into key presses: characters in code page 437 and PC
// scan codes for the keys without a character. Fed one byte at a time, so a sequence may
// arrive split over several reads.
#pragma once

#include <cstdint>

#include "console/device.h"

namespace terminal {

struct KeyDecoder {
  enum class State : std::uint8_t { ground, escape, csi, ss3, linuxFunction, utf8 };
  State state = State::ground;
  // Parameter bytes of the escape sequence being read (only the first few matter).
  char params[16] = {};
  int paramLength = 0;
  bool unknown = false;  // the sequence can no longer be a key we know
  char32_t codePoint = 0;
  int utf8Left = 0;
  bool afterCr = false;  // an LF right after a CR ends the same line
};

// Feeds one byte; returns how many keys it completed (0 to 2), stored in keys.
int decodeByte(KeyDecoder& decoder, std::uint8_t byte, console::KeyEvent keys[2]);
// True while a lone Esc is held: the caller waits a short time for the byte that would
// start a sequence, and calls escapeTimeout when none comes.
bool awaitingEscape(const KeyDecoder& decoder);
// Nothing followed the Esc in time: it was the Esc key. Returns the number of keys (0 or 1).
int escapeTimeout(KeyDecoder& decoder, console::KeyEvent keys[1]);

}  // namespace terminal
