#include "app/run.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "console/console.h"
#include "launcher/location.h"
#include "settings/settings.h"
#include "test_support.h"
#include "memory_device.h"
#include "texts/texts.h"
#include "platform/platform.h"
#ifndef _WIN32
#endif


namespace fs = std::filesystem;

namespace {

using test::pad;

using console::attributeAt;
using console::rowText;

void touch(const std::string& path) { test::writeFile(path, ""); }

class InTempDir : public ::testing::Test {
 protected:
  test::TempDirectory dir;
  const platform::Machine machine = test::machine();
  Str here = platform::currentDirectory(machine);  // the directory in DOS form
  RunState run{machine};
};

using Flow = InTempDir;

TEST_F(Flow, WithoutZor4ExeTheRunEndsOnRowThree) {
  console::MemoryDevice device;
  console::start(device);
  device.type(" ");
  setenv("LANG", "de", 1);
  EXPECT_EQ(test::endCodeOf([this] { runProgram(run); }), 0);
  std::string report = rowText(1) + "|" + rowText(3) + "|" + std::to_string(attributeAt(1, 3)) + "," +
                       std::to_string(attributeAt(80, 3)) + "," + std::to_string(attributeAt(1, 1));
  EXPECT_TRUE(test::matches(
      report, "Einrichtungsprogramm zu Zor +\\|Abbruch : ZOR4.EXE nicht im aktuellen Verzeichnis! +\\|12,12,30"));
}

#ifndef _WIN32
// Where the launcher could not name ZOR, or names it only in one of two spellings, the run
// stops at start and says why, in the run's language.
TEST_F(InTempDir, AZorDirectoryTheLauncherCannotNameStopsAtStartWithItsReason) {
  const struct {
    std::string directory;
    std::vector<std::string> entries;  // a name ending in "/" is a folder
    std::string lang, reason;
  } cases[] = {
      {"a\"b", {"ZOR4.EXE"}, "C", "abort : the name \"a\"b\" in ZOR's path holds \"\"\", which Windows does not allow!"},
      {"a\x01" "b", {"ZOR4.EXE"}, "C", "abort : the name \"a\x01" "b\" in ZOR's path holds 0x01, which Windows does not allow!"},
      {"dot.", {"ZOR4.EXE"}, "de", "Abbruch : der Name \"dot.\" im Pfad von ZOR endet auf \".\", was Windows nicht erlaubt!"},
      {"\xC3\x95", {"ZOR4.EXE"}, "C", "abort : the name of ZOR's directory holds U+00D5, which the OEM code page lacks!"},
      {"two", {"zor4.exe", "Zor4.Exe"}, "C", "both match ZOR4.EXE in any letter case!"},
      {"folder", {"ZOR4.EXE/"}, "C", "abort : ZOR4.EXE not in current directory!"},
      {"\xC3\xA9", {"zor4.exe"}, "C", ""},  // found: letters of the code page, any case
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.directory);
    fs::create_directory(c.directory);
    for (const std::string& entry : c.entries)
      entry.ends_with('/') ? (void)fs::create_directory(c.directory + "/" + entry) : touch(c.directory + "/" + entry);
    test::ScopedDirectory inside(c.directory);
    test::ScopedVariable lang("LANG", c.lang.c_str());
    texts::loadAll();
    Str problem;
    Str found = findZorDirectory(test::machine(), problem);
    EXPECT_EQ(found.empty(), !c.reason.empty());
    if (c.reason.starts_with("abort") || c.reason.starts_with("Abbruch"))
      EXPECT_EQ(problem, c.reason);
    else
      EXPECT_TRUE(problem.view().find(c.reason) != std::string_view::npos) << problem.view();
  }
}
#endif

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
  EXPECT_EQ(test::endCodeOf([this] { runProgram(run); }), 0);
  std::string report;
  for (int row = 1; row <= 6; ++row) report += rowText(row) + "|";
  report += std::to_string(attributeAt(1, 1)) + "," + std::to_string(attributeAt(80, 25));
  EXPECT_TRUE(test::matches(
      report, "^successful exit +\\| +\\|help          : \"ZO -\\?\" +\\|program start : \"ZO\" +\\| +\\| +\\|15,15$"));
  std::string expected = "@ECHO OFF\r\nREM * reserved line * please do not remove *\r\n";
  Settings written;
  written.cpuEmulator = 0;
  EXPECT_EQ(test::readFile("ZO.BAT"), expected + std::string(here) + "\\ZOR4.EXE" + formatOptionLine(written));
  EXPECT_TRUE(run.outcome == RunState::Outcome::saved);
}

// Run again: the launcher is found, its switches and reserved line are taken over.
TEST_F(Flow, ARerunReadsTheLauncherAndWritesItBack) {
  touch("ZOR4.EXE");
  test::writeFile("ZO.BAT", "@ECHO OFF\r\nREM * reserviert Zeile * nicht entfernen *\r\nX:\\ZOR4.EXE -BH -P+ -X77 %1");
  console::MemoryDevice device;
  console::start(device);
  device.type("\r");
  setenv("PATH", "", 1);
  EXPECT_EQ(test::endCodeOf([this] { runProgram(run); }), 0);
  std::string expected = "@ECHO OFF\r\nREM * reserviert Zeile * nicht entfernen *\r\n";
  Settings written;
  written.screenMode = 4;
  written.partitionTable = 1;
  written.memoryLimitKb = 77;
  EXPECT_EQ(test::readFile("ZO.BAT"), expected + std::string(here) + "\\ZOR4.EXE" + formatOptionLine(written));
}

// Whatever ends the run (out of memory included) gives the console back before the report.
TEST_F(Flow, EveryWayOutHandsTheConsoleBackAndGivesItsNumber) {
  const std::pair<std::function<int()>, int> ways[] = {
      {[]() -> int { platform::runtimeError(5); }, 5},
      {[]() -> int { throw std::bad_alloc(); }, 203},
      {[]() -> int { throw std::length_error("too long"); }, 217},
      {[] { return 2; }, 2},  // an end of its own: nothing to report
  };
  for (const auto& [body, code] : ways) {
    console::MemoryDevice device;
    console::start(device);
    testing::internal::CaptureStderr();
    EXPECT_EQ(runToTheEnd(run, body), code);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), code == 2 ? "" : "Runtime error " + std::to_string(code) + "\n");
    EXPECT_TRUE(device.finished);
  }
}

}  // namespace

#ifndef _WIN32
namespace {

// ZOR on drive A: the question comes, a key without a meaning is passed over, and y goes
// on to the choice of path and the menu.
TEST_F(Flow, OnDriveAYesGoesOn) {
  test::TestFolder prefix;
  std::filesystem::create_directory(prefix / "dosdevices");
  std::filesystem::create_directory_symlink(dir.path(), prefix / "dosdevices/a:");
  test::ScopedVariable winePrefix("WINEPREFIX", prefix.path.c_str());
  touch("ZOR4.EXE");
  console::MemoryDevice device;
  console::start(device);
  device.type("xy\r\r");  // no meaning, yes, the current directory, save
  setenv("LANG", "C", 1);
  setenv("PATH", "", 1);
  const platform::Machine withA = test::machine();  // the drives as the prefix has them
  RunState onA{withA};
  EXPECT_EQ(test::endCodeOf([&] { runProgram(onA); }), 0);
  EXPECT_EQ(onA.zorDirectory, "A:\\");
  EXPECT_EQ(test::readFile("ZO.BAT").substr(57, 16), "A:\\ZOR4.EXE -!- ");
}
}  // namespace
#endif
