#include "console/win32/key_events.h"

namespace platform::win32 {

namespace {

// Pressed on their own these only change the state of the others.
bool isModifierOrLock(WORD virtualKey) {
  switch (virtualKey) {
    case VK_SHIFT: case VK_CONTROL: case VK_MENU: case VK_LSHIFT: case VK_RSHIFT:
    case VK_LCONTROL: case VK_RCONTROL: case VK_LMENU: case VK_RMENU: case VK_CAPITAL:
    case VK_NUMLOCK: case VK_SCROLL: case VK_LWIN: case VK_RWIN:
      return true;
    default:
      return false;
  }
}

// A digit of Alt+keypad character entry: the keypad keys (grey keys excepted) with Alt.
bool isAltKeypadDigit(const KEY_EVENT_RECORD& k) {
  if (!(k.dwControlKeyState & (LEFT_ALT_PRESSED | RIGHT_ALT_PRESSED))) return false;
  if (k.dwControlKeyState & ENHANCED_KEY) return false;
  WORD vk = k.wVirtualKeyCode;
  return (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD9) || (vk >= VK_PRIOR && vk <= VK_DOWN) ||
         vk == VK_INSERT || vk == VK_CLEAR;
}

// The character of the keys that always have one. Some consoles (Wine's on a terminal)
// deliver Esc without its character.
std::uint8_t fixedCharacter(WORD virtualKey) {
  switch (virtualKey) {
    case VK_ESCAPE: return console::keyEsc;
    case VK_RETURN: return console::keyEnter;
    case VK_BACK: return console::keyBackspace;
    case VK_TAB: return 9;
    default: return 0;
  }
}

// The scan code a key reports to the program: the keyboard's own, except for F11 and F12,
// whose codes as the PC BIOS reports them differ from their keyboard codes (87 and 88 are
// the scan codes of W and X).
std::uint8_t pcScanCode(const KEY_EVENT_RECORD& k) {
  switch (k.wVirtualKeyCode) {
    case VK_F11: return console::scanF11;
    case VK_F12: return console::scanF12;
    default: return static_cast<std::uint8_t>(k.wVirtualScanCode);
  }
}

// Alt held, and not as the AltGr key (which the console reports as right Alt with left
// Ctrl, and which types characters on many keyboards).
bool isAltKey(DWORD state) {
  return (state & LEFT_ALT_PRESSED) || ((state & RIGHT_ALT_PRESSED) && !(state & LEFT_CTRL_PRESSED));
}

}  // namespace

bool keyFromRecord(const INPUT_RECORD& record, console::KeyEvent& key) {
  if (record.EventType != KEY_EVENT) return false;
  const KEY_EVENT_RECORD& k = record.Event.KeyEvent;
  auto ch = static_cast<std::uint8_t>(k.uChar.AsciiChar);
  if (!k.bKeyDown) {
    // Alt+keypad digits deliver their character with the release of Alt.
    if (!(k.wVirtualKeyCode == VK_MENU && ch != 0)) return false;
  } else if (ch == 0 && (isModifierOrLock(k.wVirtualKeyCode) || isAltKeypadDigit(k))) {
    return false;
  } else if (isAltKey(k.dwControlKeyState)) {
    ch = 0;  // Alt+letter is a key without a character, as on a PC keyboard
  }
  constexpr DWORD ctrlOrAlt = LEFT_CTRL_PRESSED | RIGHT_CTRL_PRESSED | LEFT_ALT_PRESSED | RIGHT_ALT_PRESSED;
  if (ch == 0 && !(k.dwControlKeyState & ctrlOrAlt)) ch = fixedCharacter(k.wVirtualKeyCode);
  key = console::KeyEvent{ch, pcScanCode(k), false};
  return true;
}

}  // namespace platform::win32
