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

// The keys of the sequences ESC [ X and ESC O X by their final letter X: cursor keys,
// Home/End and F1-F4 (lower case a-d are rxvt's modified cursor keys).
struct LetterKey {
  char final;
  std::uint8_t scan;
};
inline constexpr LetterKey letterKeys[] = {
    {'A', console::scanUp},   {'a', console::scanUp},    {'B', console::scanDown}, {'b', console::scanDown},
    {'C', console::scanRight}, {'c', console::scanRight}, {'D', console::scanLeft}, {'d', console::scanLeft},
    {'H', console::scanHome}, {'F', console::scanEnd},    {'P', console::scanF1},   {'Q', console::scanF2},
    {'R', console::scanF3},   {'S', console::scanF4},
};
// The VT220-style keys ESC [ n ~ by their number (rxvt ends modified ones with ^ or @).
struct NumberedKey {
  int number;
  std::uint8_t scan;
};
inline constexpr NumberedKey numberedKeys[] = {
    {1, console::scanHome},  {7, console::scanHome},  {2, console::scanInsert}, {3, console::scanDelete},
    {4, console::scanEnd},   {8, console::scanEnd},   {5, console::scanPageUp}, {6, console::scanPageDown},
    {11, console::scanF1},   {12, console::scanF2},   {13, console::scanF3},    {14, console::scanF4},
    {15, console::scanF5},   {17, console::scanF6},   {18, console::scanF7},    {19, console::scanF8},
    {20, console::scanF9},   {21, console::scanF10},  {23, console::scanF11},   {24, console::scanF12},
};
// The Linux console's F1-F5: ESC [ [ A to ESC [ [ E.
inline constexpr char linuxFunctionFirst = 'A', linuxFunctionLast = 'E';

// Feeds one byte; returns how many keys it completed (0 to 2), stored in keys.
int decodeByte(KeyDecoder& decoder, std::uint8_t byte, console::KeyEvent keys[2]);
// True while a lone Esc is held: the caller waits a short time for the byte that would
// start a sequence, and calls escapeTimeout when none comes.
bool awaitingEscape(const KeyDecoder& decoder);
// Nothing followed the Esc in time: it was the Esc key. Returns the number of keys (0 or 1).
int escapeTimeout(KeyDecoder& decoder, console::KeyEvent keys[1]);

}  // namespace terminal
