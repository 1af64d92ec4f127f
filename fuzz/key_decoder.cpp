// The terminal key decoder. Any bytes: a byte never completes more than two keys, keys
// without a character carry a known scan code (a character code page 437 lacks carries
// neither), no key is ever the 224 prefix, and a byte that leaves a sequence unfinished
// completes no key. A key script (each input byte picks a key) written as a terminal sends
// it decodes to exactly those keys again.
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/cp437.h"
#include "console/posix/key_decoder.h"
#include "support.h"

namespace {

using console::KeyEvent;
using enum console::Scan;
using terminal::KeyDecoder;

bool knownScan(std::uint8_t scan) {
  auto inTable = [scan](const auto& keys) { return std::ranges::any_of(keys, [scan](auto& k) { return k.scan == scan; }); };
  return inTable(terminal::letterKeys) || inTable(terminal::numberedKeys) ||
         // Alt with a printable key: its key's code, or that of the digit row's Alt form.
         (scan >= 16 && scan <= 27) || (scan >= 30 && scan <= 41) || (scan >= 43 && scan <= 53) ||
         scan == 57 || (scan >= 120 && scan <= 131);
}

bool midSequence(const KeyDecoder& d) {
  using State = KeyDecoder::State;
  return d.state == State::csi || d.state == State::ss3 || d.state == State::linuxFunction ||
         d.state == State::utf8;
}

struct Sequence {
  const char* bytes;
  std::uint8_t scan;
};

// xterm, VT220, rxvt and Linux-console spellings, some with modifiers.
constexpr Sequence sequences[] = {
    {"\x1b[A", scanUp}, {"\x1b[B", scanDown}, {"\x1b[C", scanRight}, {"\x1b[D", scanLeft}, {"\x1bOA", scanUp}, {"\x1bOD", scanLeft},
    {"\x1b[1;5A", scanUp}, {"\x1b[1;2B", scanDown}, {"\x1b[H", scanHome}, {"\x1b[F", scanEnd}, {"\x1bOH", scanHome}, {"\x1b[1~", scanHome},
    {"\x1b[4~", scanEnd}, {"\x1b[7~", scanHome}, {"\x1b[8~", scanEnd}, {"\x1b[2~", scanInsert}, {"\x1b[3~", scanDelete}, {"\x1b[3;5~", scanDelete},
    {"\x1b[5~", scanPageUp}, {"\x1b[6~", scanPageDown}, {"\x1bOP", scanF1}, {"\x1bOQ", scanF2}, {"\x1bOR", scanF3}, {"\x1bOS", scanF4},
    {"\x1b[[A", scanF1}, {"\x1b[[B", scanF2}, {"\x1b[[C", scanF3}, {"\x1b[[D", scanF4}, {"\x1b[[E", scanF5}, {"\x1b[11~", scanF1},
    {"\x1b[15~", scanF5}, {"\x1b[17~", scanF6}, {"\x1b[18~", scanF7}, {"\x1b[19~", scanF8}, {"\x1b[20~", scanF9},
    {"\x1b[21~", scanF10}, {"\x1b[23~", scanF11}, {"\x1b[24~", scanF12}, {"\x1b[24;2~", scanF12}, {"\x1b[5^", scanPageUp},
    {"\x1b[a", scanUp}, {"\x1bOc", scanRight},
};
constexpr int sequenceCount = sizeof sequences / sizeof sequences[0];

void anyBytes(std::string_view input) {
  KeyDecoder d;
  KeyEvent keys[2];
  for (char c : input) {
    int n = terminal::decodeByte(d, static_cast<std::uint8_t>(c), keys);
    FUZZ_CHECK(n >= 0 && n <= 2);
    for (int i = 0; i < n; ++i) {
      FUZZ_CHECK(!keys[i].end);
      FUZZ_CHECK(keys[i].ch != 224);
      if (keys[i].unfit)  // a character code page 437 lacks: no character, no key
        FUZZ_CHECK(keys[i].ch == 0 && keys[i].scan == 0);
      else if (keys[i].ch == 0)
        FUZZ_CHECK(knownScan(keys[i].scan));
      else
        FUZZ_CHECK(keys[i].scan == 0);
    }
    // A byte that leaves a sequence open completes nothing of it; at most an Esc held
    // before it is now known to be the Esc key.
    if (midSequence(d) || terminal::awaitingEscape(d)) FUZZ_CHECK(n == 0 || (n == 1 && keys[0].ch == 27));
  }
  if (terminal::awaitingEscape(d)) {
    FUZZ_CHECK(terminal::escapeTimeout(d, keys) == 1 && keys[0].ch == 27);
    FUZZ_CHECK(!terminal::awaitingEscape(d));
  }
}

// Each byte picks a key: a printable character, a character of the upper half of code page
// 437 typed as UTF-8, Enter, Backspace, a lone Esc, or a key of the sequence table.
void keyScript(std::string_view script) {
  KeyDecoder d;
  std::vector<KeyEvent> expected, decoded;
  KeyEvent keys[2];
  auto feed = [&](std::string_view bytes) {
    for (char c : bytes) {
      int n = terminal::decodeByte(d, static_cast<std::uint8_t>(c), keys);
      decoded.insert(decoded.end(), keys, keys + n);
    }
  };
  for (std::size_t i = 0; i < script.size(); ++i) {
    auto p = static_cast<std::uint8_t>(script[i]);
    if (p < 95) {  // ' ' to '~'
      expected.push_back({static_cast<std::uint8_t>(' ' + p), 0, false});
      feed(std::string(1, static_cast<char>(' ' + p)));
    } else if (p < 95 + 128 - 32) {  // 0x80 to 0xDF, then 0xE0 to 0xFF below
      std::uint8_t oem = static_cast<std::uint8_t>(0x80 + p - 95);
      expected.push_back({oem, 0, false});
      std::string utf8;
      platform::appendUtf8(utf8, platform::cp437ToUnicode[oem]);
      feed(utf8);
    } else if (p < 95 + 128 - 32 + 32) {
      std::uint8_t oem = static_cast<std::uint8_t>(0xE0 + p - (95 + 96));
      if (oem != 224) expected.push_back({oem, 0, false});  // alpha would read as the prefix
      std::string utf8;
      platform::appendUtf8(utf8, platform::cp437ToUnicode[oem]);
      feed(utf8);
    } else if (p == 223) {
      expected.push_back({13, 0, false});
      feed("\r");
    } else if (p == 224) {
      expected.push_back({8, 0, false});
      feed("\x7f");
    } else if (p == 225) {
      expected.push_back({27, 0, false});
      feed("\x1b");
      FUZZ_CHECK(terminal::awaitingEscape(d));
      int n = terminal::escapeTimeout(d, keys);  // nothing followed in time
      decoded.insert(decoded.end(), keys, keys + n);
    } else {
      const Sequence& s = sequences[(p - 226 + 30 * (i & 1)) % sequenceCount];
      expected.push_back({0, s.scan, false});
      feed(s.bytes);
    }
  }
  FUZZ_CHECK(!terminal::awaitingEscape(d) && !midSequence(d));
  FUZZ_CHECK(decoded.size() == expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i)
    FUZZ_CHECK(decoded[i].ch == expected[i].ch && decoded[i].scan == expected[i].scan);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  std::string_view input = fuzz::bytes(data + 1, size - 1);
  if (data[0] & 1)
    keyScript(input);
  else
    anyBytes(input);
  return 0;
}
