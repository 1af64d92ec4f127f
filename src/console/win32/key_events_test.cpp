#include "console/win32/key_events.h"

#include <gtest/gtest.h>

namespace {

using platform::win32::keyFromRecord;

INPUT_RECORD keyRecord(bool down, WORD virtualKey, WORD scan, char ch, DWORD state = 0) {
  INPUT_RECORD r{};
  r.EventType = KEY_EVENT;
  r.Event.KeyEvent.bKeyDown = down;
  r.Event.KeyEvent.wRepeatCount = 1;
  r.Event.KeyEvent.wVirtualKeyCode = virtualKey;
  r.Event.KeyEvent.wVirtualScanCode = scan;
  r.Event.KeyEvent.uChar.AsciiChar = ch;
  r.Event.KeyEvent.dwControlKeyState = state;
  return r;
}

TEST(KeyEvents, ACharacterKeyGivesItsOemByteAndScanCode) {
  console::KeyEvent key;
  ASSERT_TRUE(keyFromRecord(keyRecord(true, 'A', 0x1E, 'a'), key));
  EXPECT_EQ(key.ch, 'a');
  EXPECT_EQ(key.scan, 0x1E);
  EXPECT_FALSE(key.end);
  ASSERT_TRUE(keyFromRecord(keyRecord(true, 0, 0, static_cast<char>(0x84)), key));
  EXPECT_EQ(key.ch, 0x84);
}

TEST(KeyEvents, AKeyWithoutACharacterGivesZeroAndItsScanCode) {
  console::KeyEvent key;
  ASSERT_TRUE(keyFromRecord(keyRecord(true, VK_F1, 59, 0), key));
  EXPECT_EQ(key.ch, 0);
  EXPECT_EQ(key.scan, 59);
  ASSERT_TRUE(keyFromRecord(keyRecord(true, VK_UP, 72, 0, ENHANCED_KEY), key));
  EXPECT_EQ(key.ch, 0);
  EXPECT_EQ(key.scan, 72);
}

TEST(KeyEvents, F11AndF12GiveTheirCodesAsThePcBiosReportsThem) {
  console::KeyEvent key;
  ASSERT_TRUE(keyFromRecord(keyRecord(true, VK_F11, 0x57, 0), key));
  EXPECT_EQ(key.scan, 133);
  ASSERT_TRUE(keyFromRecord(keyRecord(true, VK_F12, 0x58, 0), key));
  EXPECT_EQ(key.scan, 134);
  ASSERT_TRUE(keyFromRecord(keyRecord(true, VK_F10, 68, 0), key));
  EXPECT_EQ(key.scan, 68);
}

TEST(KeyEvents, ReleasesModifiersAndOtherEventsAreNoKeys) {
  console::KeyEvent key;
  EXPECT_FALSE(keyFromRecord(keyRecord(false, 'A', 0x1E, 'a'), key));
  EXPECT_FALSE(keyFromRecord(keyRecord(true, VK_SHIFT, 0x2A, 0, SHIFT_PRESSED), key));
  EXPECT_FALSE(keyFromRecord(keyRecord(true, VK_CONTROL, 0x1D, 0, LEFT_CTRL_PRESSED), key));
  EXPECT_FALSE(keyFromRecord(keyRecord(true, VK_CAPITAL, 0x3A, 0), key));
  INPUT_RECORD mouse{};
  mouse.EventType = MOUSE_EVENT;
  EXPECT_FALSE(keyFromRecord(mouse, key));
  INPUT_RECORD focus{};
  focus.EventType = FOCUS_EVENT;
  EXPECT_FALSE(keyFromRecord(focus, key));
}

TEST(KeyEvents, EscWithoutItsCharacterStillGives27) {
  console::KeyEvent key;
  ASSERT_TRUE(keyFromRecord(keyRecord(true, VK_ESCAPE, 1, 0), key));
  EXPECT_EQ(key.ch, 27);
  EXPECT_EQ(key.scan, 1);
  // With Ctrl or Alt the key has no character of its own.
  ASSERT_TRUE(keyFromRecord(keyRecord(true, VK_ESCAPE, 1, 0, LEFT_ALT_PRESSED), key));
  EXPECT_EQ(key.ch, 0);
}

TEST(KeyEvents, AltKeypadEntryGivesOnlyTheCharacterOnTheReleaseOfAlt) {
  console::KeyEvent key;
  EXPECT_FALSE(keyFromRecord(keyRecord(true, VK_NUMPAD1, 0x4F, 0, LEFT_ALT_PRESSED | NUMLOCK_ON), key));
  EXPECT_FALSE(keyFromRecord(keyRecord(true, VK_END, 0x4F, 0, LEFT_ALT_PRESSED), key));
  ASSERT_TRUE(keyFromRecord(keyRecord(false, VK_MENU, 0x38, static_cast<char>(0x81)), key));
  EXPECT_EQ(key.ch, 0x81);
  // The grey End key with Alt is a key of its own.
  EXPECT_TRUE(keyFromRecord(keyRecord(true, VK_END, 0x4F, 0, LEFT_ALT_PRESSED | ENHANCED_KEY), key));
  // A plain release of Alt carries nothing.
  EXPECT_FALSE(keyFromRecord(keyRecord(false, VK_MENU, 0x38, 0), key));
}

}  // namespace

TEST(KeyEvents, AltLetterHasNoCharacterButAltGrTypesOne) {
  console::KeyEvent key;
  ASSERT_TRUE(keyFromRecord(keyRecord(true, 'U', 22, 'u', LEFT_ALT_PRESSED), key));
  EXPECT_EQ(key.ch, 0);
  EXPECT_EQ(key.scan, 22);
  ASSERT_TRUE(keyFromRecord(keyRecord(true, 'U', 22, 'u', RIGHT_ALT_PRESSED), key));
  EXPECT_EQ(key.ch, 0);
  // AltGr: right Alt with left Ctrl, as on a German keyboard typing "@" on Q.
  ASSERT_TRUE(keyFromRecord(keyRecord(true, 'Q', 16, '@', RIGHT_ALT_PRESSED | LEFT_CTRL_PRESSED), key));
  EXPECT_EQ(key.ch, '@');
}
