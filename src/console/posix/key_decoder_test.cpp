#include "console/posix/key_decoder.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

namespace {

using console::KeyEvent;
using enum console::Scan;
using terminal::KeyDecoder;

// The keys as "c<n>" for a character and "s<n>" for a scan code, for readable failures.
std::string named(char kind, int n) {
  std::string name(1, kind);
  name += std::to_string(n);
  return name;
}

std::string describe(const KeyEvent& key) {
  return key.unfit ? "unfit" : key.ch ? named('c', key.ch) : named('s', key.scan);
}

std::vector<std::string> feed(KeyDecoder& decoder, std::string_view bytes) {
  std::vector<std::string> out;
  for (char c : bytes) {
    KeyEvent keys[2];
    int n = terminal::decodeByte(decoder, static_cast<std::uint8_t>(c), keys);
    for (int i = 0; i < n; ++i) out.push_back(describe(keys[i]));
  }
  return out;
}

// Decodes bytes that arrive together, then lets the Esc delay run out.
std::vector<std::string> decode(std::string_view bytes) {
  KeyDecoder decoder;
  std::vector<std::string> out = feed(decoder, bytes);
  KeyEvent key[1];
  if (terminal::escapeTimeout(decoder, key)) out.push_back(describe(key[0]));
  return out;
}

using Keys = std::vector<std::string>;

TEST(KeyDecoder, KnownSequencesGiveScanCodes) {
  struct Case {
    std::string_view bytes;
    int scan;
  };
  const Case cases[] = {
      // cursor keys: normal, application mode, with modifiers, rxvt's shifted forms
      {"\x1b[A", scanUp}, {"\x1b[B", scanDown}, {"\x1b[C", scanRight}, {"\x1b[D", scanLeft},
      {"\x1bOA", scanUp}, {"\x1bOB", scanDown}, {"\x1bOC", scanRight}, {"\x1bOD", scanLeft},
      {"\x1b[1;5A", scanUp}, {"\x1b[1;2B", scanDown}, {"\x1b[1;3C", scanRight}, {"\x1b[1;8D", scanLeft}, {"\x1b[a", scanUp}, {"\x1bOd", scanLeft},
      // home, end, insert, delete, page up and down in all their spellings
      {"\x1b[H", scanHome}, {"\x1bOH", scanHome}, {"\x1b[1~", scanHome}, {"\x1b[7~", scanHome}, {"\x1b[1;5H", scanHome},
      {"\x1b[F", scanEnd}, {"\x1bOF", scanEnd}, {"\x1b[4~", scanEnd}, {"\x1b[8~", scanEnd},
      {"\x1b[2~", scanInsert}, {"\x1b[3~", scanDelete}, {"\x1b[3;5~", scanDelete}, {"\x1b[5~", scanPageUp}, {"\x1b[6~", scanPageDown}, {"\x1b[6^", scanPageDown},
      // F1-F4: xterm SS3, xterm modified, VT220, Linux console
      {"\x1bOP", scanF1}, {"\x1bOQ", scanF2}, {"\x1bOR", scanF3}, {"\x1bOS", scanF4}, {"\x1bO2P", scanF1},
      {"\x1b[1;2P", scanF1}, {"\x1b[1;5S", scanF4}, {"\x1b[P", scanF1},
      {"\x1b[11~", scanF1}, {"\x1b[12~", scanF2}, {"\x1b[13~", scanF3}, {"\x1b[14~", scanF4},
      {"\x1b[[A", scanF1}, {"\x1b[[B", scanF2}, {"\x1b[[C", scanF3}, {"\x1b[[D", scanF4}, {"\x1b[[E", scanF5},
      // F5-F12
      {"\x1b[15~", scanF5}, {"\x1b[17~", scanF6}, {"\x1b[18~", scanF7}, {"\x1b[19~", scanF8}, {"\x1b[20~", scanF9},
      {"\x1b[21~", scanF10}, {"\x1b[23~", scanF11}, {"\x1b[24~", scanF12}, {"\x1b[15;2~", scanF5}, {"\x1b[24;5~", scanF12},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.bytes.substr(1)));
    EXPECT_EQ(decode(std::string(c.bytes) + "x"), (Keys{named('s', c.scan), "c120"}));  // and back to plain keys
  }
}

TEST(KeyDecoder, EnterBackspaceAndControlCharacters) {
  EXPECT_EQ(decode("\r"), Keys{"c13"});
  EXPECT_EQ(decode("\n"), Keys{"c13"});
  EXPECT_EQ(decode("a\r\nb\n\n"), (Keys{"c97", "c13", "c98", "c13", "c13"}));  // CR LF is one line end
  EXPECT_EQ(decode("\r\r"), (Keys{"c13", "c13"}));
  EXPECT_EQ(decode("\x7f\b"), (Keys{"c8", "c8"}));
  EXPECT_EQ(decode(std::string_view("\t\x01\x0e\0z", 5)), (Keys{"c9", "c1", "c14", "c122"}));  // NUL gives nothing
}

TEST(KeyDecoder, LoneEscapeWaitsForTheDelay) {
  KeyDecoder decoder;
  EXPECT_TRUE(feed(decoder, "\x1b").empty());
  EXPECT_TRUE(terminal::awaitingEscape(decoder));
  KeyEvent key[1];
  ASSERT_EQ(terminal::escapeTimeout(decoder, key), 1);
  EXPECT_EQ(key[0].ch, 27);
  EXPECT_FALSE(terminal::awaitingEscape(decoder));
  EXPECT_EQ(terminal::escapeTimeout(decoder, key), 0);

  // Esc followed at once by a printable character: that key with Alt, no character.
  EXPECT_EQ(decode("\x1b" "u" "\x1b" "U" "\x1b" "q" "\x1b" "m" "\x1b" " " "\x1b" "1" "\x1b" "!" "\x1b" "0"
                   "\x1b" "=" "\x1b" "\\" "\x1b" "/" "\x1b" "~" "\x1b" "@" "\x1b" "-"),
            (Keys{"s22", "s22", "s16", "s50", "s57", "s120", "s120", "s129", "s131", "s43", "s53", "s41", "s121",
                  "s130"}));
  // Followed by something that starts no sequence and is not printable: both keys.
  EXPECT_EQ(decode("\x1b\x1b[A"), (Keys{"c27", "s72"}));
  EXPECT_EQ(decode("\x1b\r"), (Keys{"c27", "c13"}));
  EXPECT_EQ(decode("\x1b\x7f"), (Keys{"c27", "c8"}));
  EXPECT_EQ(decode("\x1b" "*" "\x1b" "(" "\x1b" "&" "\x1b" "$" "\x1b" "%"),  // Alt with a shifted digit
            (Keys{"s127", "s128", "s126", "s123", "s124"}));
  EXPECT_EQ(decode("\x1b\x1b"), (Keys{"c27", "c27"}));
}

TEST(KeyDecoder, SequencesSplitAcrossReads) {
  KeyDecoder decoder;
  EXPECT_TRUE(feed(decoder, "\x1b").empty());
  EXPECT_TRUE(feed(decoder, "[1;").empty());
  KeyEvent key[1];
  EXPECT_EQ(terminal::escapeTimeout(decoder, key), 0);  // a started sequence is not cut off
  EXPECT_TRUE(feed(decoder, "5").empty());
  EXPECT_EQ(feed(decoder, "C"), Keys{"s77"});
  EXPECT_TRUE(feed(decoder, "\xc3").empty());
  EXPECT_EQ(feed(decoder, "\xa4"), Keys{"c132"});
  EXPECT_TRUE(feed(decoder, "\x1b[").empty());
  EXPECT_TRUE(feed(decoder, "[").empty());
  EXPECT_EQ(feed(decoder, "B"), Keys{"s60"});
}

TEST(KeyDecoder, UnknownSequencesAreConsumedWhole) {
  EXPECT_EQ(decode("\x1b[99~x"), Keys{"c120"});
  EXPECT_EQ(decode("\x1b[" + std::string(40, '1') + "~x"), Keys{"c120"});  // more parameters than kept
  EXPECT_EQ(decode("\x1b[1;" + std::string(15, '0') + "~x"), Keys{"c120"});  // one more: not Home
  EXPECT_EQ(decode("\x1b[?1;2cx"), Keys{"c120"});        // a device attributes report
  EXPECT_EQ(decode("\x1b[<0;12;5Mx"), Keys{"c120"});     // a mouse report
  // Private markers make a report of a sequence that would otherwise be a key.
  EXPECT_EQ(decode("\x1b[?5~x\x1b[>1~x\x1b[<0;1;1Mx\x1b[=2Ax\x1b[?~x"), (Keys{"c120", "c120", "c120", "c120", "c120"}));
  EXPECT_EQ(decode("\x1b[5Ax"), Keys{"c120"});           // a cursor movement, not a key
  EXPECT_EQ(decode("\x1b[1 qx\x1b[ Ax"), (Keys{"c120", "c120"}));  // intermediate bytes
  EXPECT_EQ(decode("\x1b[Zx\x1bOZx\x1b[[Zx\x1b[[@x"), (Keys{"c120", "c120", "c120", "c120"}));
  EXPECT_EQ(decode("\x1b[" + std::string(300, '1') + "~x"), Keys{"c120"});
  EXPECT_EQ(decode("\x1b[200~hi\x1b[201~"), (Keys{"c104", "c105"}));
  // A control byte breaks a sequence off and counts as itself; Esc starts a new one.
  EXPECT_EQ(decode("\x1b[1\r"), Keys{"c13"});
  EXPECT_EQ(decode("\x1b[1;\x1b[B"), Keys{"s80"});
  EXPECT_EQ(decode("\x1bO\x7f"), Keys{"c8"});
}

TEST(KeyDecoder, Utf8BecomesCodePage437) {
  EXPECT_EQ(decode("\xc3\x87\xc3\xa4\xc3\x9f\xc3\x84"), (Keys{"c128", "c132", "c225", "c142"}));  // Ç ä ß Ä
  EXPECT_EQ(decode("\xe2\x94\x80\xe2\x94\x98"), (Keys{"c196", "c217"}));          // ─ ┘
  EXPECT_EQ(decode("\xc2\xa0\xe2\x96\xa0"), (Keys{"c255", "c254"}));             // no-break space, ■
  // Characters without a byte in code page 437 are told as such; the glyphs of control
  // bytes are dropped (an arrow must not act as Esc).
  EXPECT_EQ(decode("\xe2\x82\xac" "a" "\xf0\x9f\x98\x80" "b" "\xe2\x86\x90" "\xe2\x99\xaa"),
            (Keys{"unfit", "c97", "unfit", "c98"}));
  // Broken UTF-8: what is out of place is dropped, the byte that breaks it counts.
  EXPECT_EQ(decode("\xc3x\xa4y\xff\xc0\x80z\xe2\x94\r"), (Keys{"c120", "c121", "c122", "c13"}));
  // A stray continuation byte after a whole character is no character of its own.
  EXPECT_EQ(decode("\xc3\xa4\xa4\xe2\x94\x80\x80x"), (Keys{"c132", "c196", "c120"}));
  EXPECT_EQ(decode("\xe0\x81\x81q"), Keys{"c113"});  // an overlong 'A' is not typed
}

TEST(KeyDecoder, AlphaIsNotTypedAsTheGreyKeyPrefix) {
  // Alpha is byte 224 in code page 437, which the console would read as a grey cursor key
  // with no scan code; its neighbours are ordinary characters.
  EXPECT_EQ(decode("\xce\xb1" "\xc3\x9f" "\xce\x93"), (Keys{"c225", "c226"}));  // α ß Γ
}

}  // namespace
