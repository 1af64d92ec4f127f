#include "main/flow.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "console/console.h"
#include "base/test_support.h"
#include "console/memory_device.h"
#include "platform/platform.h"

namespace fs = std::filesystem;

namespace {

using test::pad;

using console::attributeAt;
using console::rowText;

void touch(const std::string& path) { test::writeFile(path, ""); }

class InTempDir : public ::testing::Test {
 protected:
  test::TempDirectory dir;
  Str here = platform::currentDirectory();  // the directory in DOS form
};

using SearchFile = InTempDir;

TEST_F(SearchFile, TheCurrentDirectoryComesFirst) {
  fs::create_directory("bin");
  touch("ZO.BAT");
  touch("bin/ZO.BAT");
  EXPECT_EQ(searchFile("ZO.BAT", "bin"), here + "\\ZO.BAT");
}

TEST_F(SearchFile, WalksTheListFromTheLeft) {
  fs::create_directories("a");
  fs::create_directories("b");
  fs::create_directories("c");
  touch("b/ZO.BAT");
  touch("c/ZO.BAT");
  EXPECT_EQ(searchFile("ZO.BAT", ";;a;;b;c"), here + "\\b\\ZO.BAT");
  EXPECT_EQ(searchFile("ZO.BAT", "a\\;c\\"), here + "\\c\\ZO.BAT");
  EXPECT_EQ(searchFile("ZO.BAT", "a;;;"), "");
  EXPECT_EQ(searchFile("ZO.BAT", ""), "");
}

TEST_F(SearchFile, AQuotedElementMayHoldSemicolons) {
  fs::create_directory("x;y");
  touch("x;y/ZO.BAT");
  EXPECT_EQ(searchFile("ZO.BAT", "x;y"), "");
  EXPECT_EQ(searchFile("ZO.BAT", "a;\"x;y\";b"), here + "\\x;y\\ZO.BAT");
  EXPECT_EQ(searchFile("ZO.BAT", "\"x;y"), here + "\\x;y\\ZO.BAT");  // unclosed: to the end
}

TEST_F(SearchFile, AColonInTheFoundNameIsPartOfTheName) {
  // An element that is no drive ("LIST:") gets no backslash; on POSIX a file may be named
  // "LIST:ZO.BAT", and that whole name is the hit.
  touch("LIST:ZO.BAT");
  EXPECT_EQ(searchFile("ZO.BAT", "a;LIST:"), here + "\\LIST:ZO.BAT");
}

TEST_F(SearchFile, AbsoluteElementsAndTheDotList) {
  fs::create_directory("tools");
  touch("tools/ZOR4.EXE");
  Str tools = here + "\\tools";
  EXPECT_EQ(searchFile("ZOR4.EXE", tools), tools + "\\ZOR4.EXE");
  EXPECT_EQ(searchFile("ZOR4.EXE", "."), "");  // only the current directory counts
  touch("ZOR4.EXE");
  EXPECT_EQ(searchFile("ZOR4.EXE", "."), here + "\\ZOR4.EXE");
}

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
  cutTail(text, 8);
  EXPECT_EQ(text, "C:\\ZOR\\");
  cutTail(text, 80);
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
  EXPECT_EXIT(
      {
        newScreen();
        console::writeText("title\r\n\r\n Y/N : ");
        platform::setExitHook([] {
          std::string report = rowText(3) + "|" + std::to_string(attributeAt(1, 3)) + "," +
                               std::to_string(attributeAt(80, 3)) + "," +
                               std::to_string(console::cursorRow());
          std::fputs(report.c_str(), stderr);
        });
        abortWithMessage("then copy me to harddisk!");
      },
      ::testing::ExitedWithCode(0), "then copy me to harddisk! +\\|12,12,4");
}

using Flow = InTempDir;

TEST_F(Flow, WithoutZor4ExeTheRunEndsOnRowThree) {
  console::MemoryDevice device;
  console::start(device);
  device.type(" ");
  setenv("LANG", "de", 1);
  EXPECT_EXIT(
      {
        platform::setExitHook([] {
          std::string report = rowText(1) + "|" + rowText(3) + "|" + std::to_string(attributeAt(1, 3)) +
                               "," + std::to_string(attributeAt(80, 3)) + "," +
                               std::to_string(attributeAt(1, 1));
          std::fputs(report.c_str(), stderr);
        });
        runProgram();
      },
      ::testing::ExitedWithCode(0),
      "Einrichtungsprogramm zu Zor +\\|Abbruch : ZOR4.EXE nicht im aktuellen Verzeichnis! +\\|12,12,30");
}

}  // namespace

namespace {

// The whole first-time run: dialog, menu, launcher written, closing screen.
TEST_F(Flow, FirstRunWritesTheLauncherAndEndsOnTheClosingScreen) {
  touch("ZOR4.EXE");
  console::MemoryDevice device;
  console::start(device);
  device.type("\rc\r");  // dialog: the current directory; menu: CPU emulator off; save
  setenv("LANG", "C", 1);
  setenv("PATH", "", 1);
  EXPECT_EXIT(
      {
        platform::setExitHook([] {
          std::string report;
          for (int row = 1; row <= 6; ++row) report += rowText(row) + "|";
          report += std::to_string(attributeAt(1, 1)) + "," + std::to_string(attributeAt(80, 25));
          std::fputs(report.c_str(), stderr);
        });
        runProgram();
      },
      ::testing::ExitedWithCode(0),
      "^successful exit +\\| +\\|help          : \"ZO -\\?\" +\\|program start : \"ZO\" +\\| +\\| +\\|15,15$");
  std::string expected = "@ECHO OFF\r\nREM * reserved line * please do not remove *\r\n";
  expected += std::string(here) + "\\ZOR4.EXE -!- -BC -C- -G+ -H+ -L+ -ICO+ -M+ -P- -S- -U+ -X3000 -Z0";
  expected += " %1 %2 %3 %4 %5 %6 %7 %8 %9";
  EXPECT_EQ(test::readFile("ZO.BAT"), expected);
}

// Run again: the launcher is found, its switches and reserved line are taken over.
TEST_F(Flow, ARerunReadsTheLauncherAndWritesItBack) {
  touch("ZOR4.EXE");
  test::writeFile("ZO.BAT", "@ECHO OFF\r\nREM * reserviert Zeile * nicht entfernen *\r\nX:\\ZOR4.EXE -BH -P+ -X77 %1");
  console::MemoryDevice device;
  console::start(device);
  device.type("\r");
  setenv("PATH", "", 1);
  EXPECT_EXIT(runProgram(), ::testing::ExitedWithCode(0), "");
  std::string expected = "@ECHO OFF\r\nREM * reserviert Zeile * nicht entfernen *\r\n";
  expected += std::string(here) + "\\ZOR4.EXE -!- -BH -C+ -G+ -H+ -L+ -ICO+ -M+ -P+ -S- -U+ -X77 -Z0";
  expected += " %1 %2 %3 %4 %5 %6 %7 %8 %9";
  EXPECT_EQ(test::readFile("ZO.BAT"), expected);
}

}  // namespace
