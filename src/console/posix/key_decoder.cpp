#include "console/posix/key_decoder.h"

#include <string_view>

#include "platform/cp437.h"

namespace terminal {

namespace {

using console::KeyEvent;

using console::keyBackspace;
using console::keyEnter;
constexpr std::uint8_t esc = console::keyEsc;  // also the first byte of a sequence

KeyEvent character(std::uint8_t ch) { return KeyEvent{ch, 0, false}; }
KeyEvent scanKey(std::uint8_t scan) { return KeyEvent{0, scan, false}; }

std::uint8_t letterScan(char final) {
  for (const LetterKey& key : letterKeys)
    if (key.final == final) return key.scan;
  return 0;
}

std::uint8_t numberScan(int n) {
  for (const NumberedKey& key : numberedKeys)
    if (key.number == n) return key.scan;
  return 0;
}

// The first parameter, -1 when there is none, -2 when the sequence is not one keys send
// (a private marker such as '<' or '?').
int firstParam(const KeyDecoder& d) {
  if (d.paramLength == 0 || d.params[0] == ';') return -1;
  int n = 0;
  for (int i = 0; i < d.paramLength && d.params[i] != ';' && d.params[i] != ':'; ++i) {
    char c = d.params[i];
    if (c < '0' || c > '9' || n > 1000) return -2;
    n = n * 10 + (c - '0');
  }
  return n;
}

std::uint8_t csiScan(const KeyDecoder& d, char final) {
  if (d.unknown) return 0;
  int n = firstParam(d);
  if (final == '~' || final == '^' || final == '@') return n > 0 ? numberScan(n) : 0;
  // Modified keys come as ESC [ 1 ; m X; the modifier does not change the key.
  return (n == -1 || n == 1) ? letterScan(final) : 0;
}

// The scan code of the PC key that types c (US layout), which Alt+c reports with no
// character; the digit row and - and = have the codes of their own Alt form.
std::uint8_t altScan(std::uint8_t c) {
  static constexpr struct {
    std::string_view keys;
    std::uint8_t firstScan;
  } rows[] = {{"qwertyuiop[]", 16}, {"asdfghjkl;'`", 30}, {"\\zxcvbnm,./", 43}};
  static constexpr std::string_view shifted = "QWERTYUIOP{}ASDFGHJKL:\"~|ZXCVBNM<>?";
  static constexpr std::string_view unshifted = "qwertyuiop[]asdfghjkl;'`\\zxcvbnm,./";
  if (c == ' ') return 57;
  if (c >= '1' && c <= '9') return static_cast<std::uint8_t>(120 + c - '1');
  if (auto i = shifted.find(static_cast<char>(c)); i != std::string_view::npos)
    c = static_cast<std::uint8_t>(unshifted[i]);
  switch (c) {
    case '0': case ')': return 129;
    case '-': case '_': return 130;
    case '=': case '+': return 131;
    case '!': return 120;
    case '@': return 121;
    case '#': return 122;
    case '$': return 123;
    case '%': return 124;
    case '^': return 125;
    case '&': return 126;
    case '*': return 127;
    case '(': return 128;
    default: break;
  }
  for (const auto& row : rows)
    if (auto i = row.keys.find(static_cast<char>(c)); i != std::string_view::npos)
      return static_cast<std::uint8_t>(row.firstScan + i);
  return 0;
}

void startSequence(KeyDecoder& d, KeyDecoder::State state) {
  d.state = state;
  d.paramLength = 0;
  d.unknown = false;
}

int ground(KeyDecoder& d, std::uint8_t b, KeyEvent* keys) {
  if (b == '\r' || b == '\n') {
    keys[0] = character(keyEnter);
    return 1;
  }
  if (b == 127 || b == '\b') {
    keys[0] = character(keyBackspace);
    return 1;
  }
  if (b == esc) {
    d.state = KeyDecoder::State::escape;
    return 0;
  }
  if (b == 0) return 0;
  if (b < 0x80) {
    keys[0] = character(b);
    return 1;
  }
  // A UTF-8 lead byte; anything else out of place is dropped.
  if (b >= 0xC2 && b <= 0xF4) {
    d.state = KeyDecoder::State::utf8;
    d.utf8Left = b < 0xE0 ? 1 : b < 0xF0 ? 2 : 3;
    d.codePoint = b & (b < 0xE0 ? 0x1F : b < 0xF0 ? 0x0F : 0x07);
  }
  return 0;
}

// After a lone Esc.
int afterEscape(KeyDecoder& d, std::uint8_t b, KeyEvent* keys) {
  if (b == '[' || b == 'O') {
    startSequence(d, b == '[' ? KeyDecoder::State::csi : KeyDecoder::State::ss3);
    return 0;
  }
  d.state = KeyDecoder::State::ground;
  // Esc and at once a printable character: that key with Alt, a key without a
  // character, as a PC keyboard reports it.
  if (b >= 0x20 && b < 0x7F) {
    keys[0] = scanKey(altScan(b));
    return 1;
  }
  // Esc followed by anything else: the Esc key, then that byte on its own.
  keys[0] = character(esc);
  return 1 + ground(d, b, keys + 1);
}

// Inside ESC [ or ESC O: parameters, intermediates, then the final byte.
int inSequence(KeyDecoder& d, std::uint8_t b, KeyEvent* keys) {
  using State = KeyDecoder::State;
  if (d.state == State::csi && d.paramLength == 0 && !d.unknown && b == '[') {
    d.state = State::linuxFunction;
    return 0;
  }
  if (b >= 0x30 && b <= 0x3F) {
    if (d.paramLength < static_cast<int>(sizeof d.params))
      d.params[d.paramLength++] = static_cast<char>(b);
    else
      d.unknown = true;
    return 0;
  }
  if (b >= 0x20 && b <= 0x2F) {
    d.unknown = true;  // intermediate bytes: no key sends them
    return 0;
  }
  if (b >= 0x40 && b <= 0x7E) {
    std::uint8_t scan = d.state == State::csi ? csiScan(d, static_cast<char>(b))
                                              : (d.unknown ? 0 : letterScan(static_cast<char>(b)));
    d.state = State::ground;
    if (scan == 0) return 0;
    keys[0] = scanKey(scan);
    return 1;
  }
  // A control byte or a non-ASCII byte breaks the sequence off; Esc starts a new one.
  d.state = State::ground;
  return ground(d, b, keys);
}

int inLinuxFunction(KeyDecoder& d, std::uint8_t b, KeyEvent* keys) {
  d.state = KeyDecoder::State::ground;
  if (b >= linuxFunctionFirst && b <= linuxFunctionLast) {
    keys[0] = scanKey(static_cast<std::uint8_t>(console::scanF1 + b - linuxFunctionFirst));
    return 1;
  }
  if (b >= 0x40 && b <= 0x7E) return 0;
  return ground(d, b, keys);
}

int inUtf8(KeyDecoder& d, std::uint8_t b, KeyEvent* keys) {
  if ((b & 0xC0) != 0x80) {
    d.state = KeyDecoder::State::ground;  // a broken character is dropped
    return ground(d, b, keys);
  }
  d.codePoint = (d.codePoint << 6) | (b & 0x3F);
  if (--d.utf8Left > 0) return 0;
  d.state = KeyDecoder::State::ground;
  // Only glyphs of the upper half count: the glyphs code page 437 shows for control bytes
  // (an arrow for Esc, a note for Enter) must not act as those keys. Alpha is byte 224,
  // which the console reads as the prefix of the grey cursor keys.
  int oem = platform::unicodeToCp437(d.codePoint);
  if (oem < 0) {  // a letter the program cannot take: a line editor says so
    keys[0] = KeyEvent{0, 0, false, true};
    return 1;
  }
  if (oem < 0x80 || oem == 224) return 0;
  keys[0] = character(static_cast<std::uint8_t>(oem));
  return 1;
}

}  // namespace

int decodeByte(KeyDecoder& d, std::uint8_t b, KeyEvent keys[2]) {
  using State = KeyDecoder::State;
  // CR LF (a line of piped input) is one Enter.
  bool lineEndPair = b == '\n' && d.afterCr;
  d.afterCr = b == '\r' && d.state == State::ground;
  if (lineEndPair) return 0;
  switch (d.state) {
    case State::ground: return ground(d, b, keys);
    case State::escape: return afterEscape(d, b, keys);
    case State::csi: case State::ss3: return inSequence(d, b, keys);
    case State::linuxFunction: return inLinuxFunction(d, b, keys);
    case State::utf8: return inUtf8(d, b, keys);
  }
  return 0;
}

bool awaitingEscape(const KeyDecoder& d) { return d.state == KeyDecoder::State::escape; }

int escapeTimeout(KeyDecoder& d, KeyEvent keys[1]) {
  if (d.state != KeyDecoder::State::escape) return 0;
  d.state = KeyDecoder::State::ground;
  keys[0] = character(esc);
  return 1;
}

}  // namespace terminal
