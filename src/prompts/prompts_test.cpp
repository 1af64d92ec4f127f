#include "prompts/prompts.h"

#include <gtest/gtest.h>

#include <string>

#include "console/console.h"
#include "memory_device.h"
#include "test_support.h"
#include "settings/settings.h"

namespace {

using test::pad;

using console::attributeAt;
using console::rowText;

TEST(Routines, ReadKeyUpperAndToggle) {
  console::MemoryDevice device;
  console::start(device);
  device.type("az1\x84");
  device.press(72);
  EXPECT_EQ(readKeyUpper(), 'A');
  EXPECT_EQ(readKeyUpper(), 'Z');
  EXPECT_EQ(readKeyUpper(), '1');
  EXPECT_EQ(readKeyUpper(), 0x84);  // OEM letters stay as they are
  EXPECT_EQ(readKeyUpper(), 0);
  EXPECT_EQ(readKeyUpper(), 72);
  Flag flag = 0;
  toggleFlag(flag);
  EXPECT_EQ(flag, 1);
  toggleFlag(flag);
  EXPECT_EQ(flag, 0);
  Str text = "C:\\ZOR\\ZOR4.EXE";
  text.cutTail(8);
  EXPECT_EQ(text, "C:\\ZOR\\");
  text.cutTail(80);
  EXPECT_EQ(text, "");
}

TEST(Routines, ReadNumberSilentlyRereadsAndLeavesTheCursorInColumnOne) {
  console::MemoryDevice device;
  console::start(device);
  console::writeText("   ");
  device.type("12x\r99\r 7\r");
  std::int32_t value = -1;
  readNumber(value, 0, 10);
  EXPECT_EQ(value, 7);
  EXPECT_EQ(rowText(1), pad("   12x"));
  EXPECT_EQ(rowText(2), pad("99"));
  EXPECT_EQ(rowText(3), pad(" 7"));
  EXPECT_EQ(console::cursorRow(), 4);
}

TEST(Routines, AbortOverwritesTheCursorRowInLightRedAndEndsWithZero) {
  console::MemoryDevice device;
  console::start(device);
  device.type("x");
  newScreen();
  console::writeText("title\r\n\r\n Y/N : ");
  EXPECT_EQ(test::endCodeOf([] { abortWithMessage("then copy me to harddisk!"); }), 0);
  std::string report = rowText(3) + "|" + std::to_string(attributeAt(1, 3)) + "," +
                       std::to_string(attributeAt(80, 3)) + "," + std::to_string(console::cursorRow());
  EXPECT_TRUE(test::matches(report, "then copy me to harddisk! +\\|12,12,4"));
  // On the bottom row the screen scrolls: the new row is blank in yellow on blue.
  device.type("x");
  console::moveCursor(1, 25);
  EXPECT_EQ(test::endCodeOf([] { abortWithMessage("aborted"); }), 0);
  EXPECT_EQ(rowText(24).substr(0, 8), "aborted ");
  EXPECT_EQ(rowText(25), pad(""));
  EXPECT_EQ(attributeAt(1, 25), 0x1E);
}

}  // namespace
