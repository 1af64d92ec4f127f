#include <gtest/gtest.h>

#include "console/console.h"
#include "memory_device.h"
#include "texts/language.h"
#include "launcher/launcher.h"
#include "test_support.h"
#include "prompts/prompts.h"
#include "failing_files.h"
#include "settings/settings.h"

namespace {

using test::TempDirectory;
using test::writeFile;

TEST(ExtractOptionLine, ProgramPathIsRemoved) {
  EXPECT_EQ(extractOptionLine("C:\\ZOR\\ZOR4.EXE -!- -BC -Z0 %1 %2"), "-!- -BC -Z0 %1 %2");
  EXPECT_EQ(extractOptionLine("@C:\\ZOR\\ZOR4.EXE -C+"), "-C+");
  // Unquoted path with a blank: only up to the first blank goes.
  EXPECT_EQ(extractOptionLine("C:\\PROGRAM FILES\\ZOR\\ZOR4.EXE -C+"), "FILES\\ZOR\\ZOR4.EXE -C+");
  // No blank at all: the text is its own option line.
  EXPECT_EQ(extractOptionLine("-C+"), "-C+");
  EXPECT_EQ(extractOptionLine(""), "");
}

TEST(ExtractOptionLine, QuotedProgramPath) {
  EXPECT_EQ(extractOptionLine("\"C:\\PROGRAM FILES\\ZOR\\ZOR4.EXE\" -C+ -U-"), "-C+ -U-");
  EXPECT_EQ(extractOptionLine("@\"C:\\A B\\ZOR4.EXE\" -C+"), "-C+");
  // The closing quote directly followed by a switch: that switch goes with the blank.
  EXPECT_EQ(extractOptionLine("\"C:\\A B\\ZOR4.EXE\"-C+ -U-"), "-U-");
  EXPECT_EQ(extractOptionLine("\"C:\\A B\\ZOR4.EXE\"-C+"), "-C+");  // unless it is the last
  // No closing quote: only the opening one is removed, then up to the first blank.
  EXPECT_EQ(extractOptionLine("\"C:\\A B\\ZOR4.EXE -C+"), "B\\ZOR4.EXE -C+");
}

TEST(ExtractOptionLine, RexxCommand) {
  EXPECT_EQ(extractOptionLine("'@ZOR4.EXE -!- -BC -Z0 'PARA"), "-!- -BC -Z0");
  EXPECT_EQ(extractOptionLine("'\"C:\\A B\\ZOR4.EXE\" -U- 'PARA 'PARA"), "-U-");
  // The quote and "@" are only taken off in that order.
  EXPECT_EQ(extractOptionLine("@'ZOR4.EXE -U-"), "-U-");
  EXPECT_EQ(extractOptionLine("ZOR4.EXE -F'PARA 'PARA"), "-F'PARA");
  EXPECT_EQ(extractOptionLine("ZOR4.EXE -F\"A 'PARA.FAR\" -U- 'PARA"), "-F\"A 'PARA.FAR\" -U-");  // a name
}

class ReadLauncher : public testing::Test {
 protected:
  TempDirectory dir;
  console::MemoryDevice device;

  void SetUp() override {
    console::start(device);
    texts::loadAllFor("EN");
  }
  // The console must not outlive its device: a later runtime error would finish it.
  void TearDown() override { console::finish(); }

  Launcher launcher{"REM * reserved line * please do not remove *", {}};
  Settings& settings = launcher.settings;
  Str& reservedLine = launcher.reservedLine;
  void readLauncher(const std::string& name, platform::FileSystem& files = test::systemFiles) {
    launcher = ::loadLauncherShowingName(test::machine(files), name);
  }
  void read(const std::string& bytes) {
    writeFile(dir / "ZO.BAT", bytes);
    readLauncher(dir.dosName() + "ZO.BAT");
  }
};

TEST_F(ReadLauncher, BatchFormShowsItsNameAndTakesReservedLineAndSwitches) {
  settings.colourTableName = "C:\\OLD.TAB";
  read("@ECHO OFF\r\nREM * reservierte Zeile *\r\nC:\\ZOR\\ZOR4.EXE -X123 -Z50 -U- %1 %2\r\n-X7\r\n");
  EXPECT_EQ(console::rowText(1).substr(0, 8 + dir.dosName().size() + 10),
            "reading " + dir.dosName() + "ZO.BAT ...");
  EXPECT_EQ(console::cursorRow(), 2);
  EXPECT_EQ(reservedLine, "REM * reservierte Zeile *");
  EXPECT_EQ(settings.memoryLimitKb, 123);  // not the 7 of the line after the command line
  EXPECT_EQ(settings.screenLines, 50);
  EXPECT_EQ(settings.subdirs, 0);
  EXPECT_TRUE(settings.colourTableName.empty());  // no -F: no colour table
}

TEST_F(ReadLauncher, RexxFormIsRecognisedByItsExactSecondLine) {
  read("/* ZO */\r\nPARSE ARG PARA\r\nREM rexx\r\n'@ZOR4.EXE -X5 'PARA\r\n");
  EXPECT_EQ(reservedLine, "REM rexx");
  EXPECT_EQ(settings.memoryLimitKb, 5);

  for (const char* marker : {"parse arg para", "PARSE ARG PARA ", " PARSE ARG PARA"}) {
    SCOPED_TRACE(marker);
    settings = Settings{};
    read(std::string("/* ZO */\r\n") + marker + "\r\nZOR4.EXE -X6\r\n'@ZOR4.EXE -X5 'PARA\r\n");
    EXPECT_EQ(reservedLine, marker);
    EXPECT_EQ(settings.memoryLimitKb, 6);
  }
}

TEST_F(ReadLauncher, ShortFiles) {
  read("@ECHO OFF");  // one line: no reserved line, no switches
  EXPECT_EQ(reservedLine, "");
  EXPECT_EQ(settings.memoryLimitKb, 3000);

  read("@ECHO OFF\r\nREM two\r\n");
  EXPECT_EQ(reservedLine, "REM two");
  EXPECT_EQ(settings.memoryLimitKb, 3000);
}

TEST_F(ReadLauncher, SwitchesAtTheEndOfALongCommandLineCount) {
  std::string table = "C:\\" + std::string(240, 'T') + ".TAB";
  read("@ECHO OFF\r\nREM\r\nC:\\ZOR\\ZOR4.EXE -F" + table + " -U- -X123 -Z50 %1 %2 %3 %4 %5 %6 %7 %8 %9");
  EXPECT_EQ(settings.colourTableName, table);
  EXPECT_EQ(settings.subdirs, 0);
  EXPECT_EQ(settings.memoryLimitKb, 123);
  EXPECT_EQ(settings.screenLines, 50);

  // Windows runs 8191 characters of a command line: a switch that crosses the limit goes
  // whole, quoted blanks and all.
  std::string line = "ZOR4.EXE" + std::string(8191 - 8 - 4, ' ') + " -X7";
  read("@ECHO OFF\r\nREM\r\n" + line + "7\r\n");
  EXPECT_EQ(settings.memoryLimitKb, 3000);
  read("@ECHO OFF\r\nREM\r\n" + line + " 7\r\n");
  EXPECT_EQ(settings.memoryLimitKb, 7);
  read("@ECHO OFF\r\nREM\r\n" + line.substr(1) + "7\r\n");
  EXPECT_EQ(settings.memoryLimitKb, 77);
  read("@ECHO OFF\r\nREM\r\n" + line.substr(0, 8191 - 10) + "-X7 -F\"a b c\"\r\n");
  EXPECT_EQ(settings.memoryLimitKb, 7);
  EXPECT_EQ(settings.colourTableName, "");
}

// A line set in front of the call by hand leaves the call on a later line; a launcher
// written by hand may call ZOR on its first or second line, and part switches with tabs.
TEST_F(ReadLauncher, TheCallOnAnyLine) {
  const std::string own = "REM * reserved line * please do not remove *";
  const struct {
    std::string bytes;
    int limit;
    std::string reserved;
  } cases[] = {
      {"@ECHO OFF\r\nREM\r\nSET T=C:\\\r\n\r\nC:\\ZOR4.EXE -X5\r\nZOR4.EXE -X6", 5, "REM"},
      {"/**/\r\nPARSE ARG PARA\r\nREM\r\nSAY\r\n'@\"C:\\A B\\zor4.exe\" -X6 'PARA", 6, "REM"},
      {"@ECHO OFF\r\nREM\r\nX.EXE -X7\r\nZOR4.EXE.BAK -X8\r\nREM ZOR4.EXE -X9", 7, "REM"},
      {"C:\\ZOR\\ZOR4.EXE -X5 %1", 5, own},
      {"@ZOR4.EXE\t-X4\r\nREM mine", 4, own},
      {"@ECHO OFF\r\nzor4.exe\t-U-\t-X3", 3, own},
      {"@ECHO OFF\r\nREM\r\n\"C:\\A B\\ZOR4.EXE\"\t-F\"x y\"\t-X2\t%1", 2, "REM"},
      {"@ECHO OFF\r\nZOR4.EXE -X1\r\nZOR4.EXE -X8", 8, "ZOR4.EXE -X1"},  // the usual line first
  };
  for (const auto& c : cases) {
    read(c.bytes);
    EXPECT_EQ(settings.memoryLimitKb, c.limit) << c.bytes;
    EXPECT_EQ(reservedLine, c.reserved) << c.bytes;
  }
  read(cases[6].bytes);
  EXPECT_EQ(settings.colourTableName, "x y");
}

TEST_F(ReadLauncher, LongReservedLineIsCutAndTheRestOfItSkipped) {
  read("@ECHO OFF\r\nREM " + std::string(300, 'r') + "\r\nZOR4.EXE -X9\r\n");
  EXPECT_EQ(reservedLine, "REM " + std::string(251, 'r'));
  EXPECT_EQ(settings.memoryLimitKb, 9);
}

// Whatever lies under the launcher's name is read without a crash or a hang.
TEST_F(ReadLauncher, JunkFiles) {
  std::string junk;  // every byte but LF, CR and 0x1A, in a long run
  for (int i = 0; i < 70000; ++i) {
    auto c = static_cast<char>((i * 7919) % 256);
    if (c != '\n' && c != '\r' && c != '\x1A') junk += c;
  }
  const struct {
    std::string bytes;
    std::string reserved;
  } cases[] = {
      {"", ""},
      {"\r", ""},
      {"\r\r\r\r\r\r", ""},
      {std::string(1 << 20, 'x'), ""},
      {std::string(5000, '\0'), ""},
      {std::string("@ECHO OFF\r\nREM\0\r\nZ\0 -X8\0\r\n", 22), std::string("REM\0", 4)},
      {junk, ""},
      {"\n" + junk + "\n" + junk + "\n" + junk, junk.substr(0, 255)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.bytes.size());
    read(c.bytes);
    EXPECT_EQ(reservedLine, c.reserved);
  }
}

TEST_F(ReadLauncher, FailuresToOpenReadOrCloseStopTheRun) {
  using Op = test::FileOp;
  test::FailingFiles files;
  EXPECT_EQ(test::runtimeErrorOf([&] { readLauncher(dir.dosName() + "NONE.BAT"); }), 2);
  writeFile(dir / "ZO.BAT", "@ECHO OFF\r\nREM\r\nZOR4.EXE -U-\r\n");
  const struct {
    Op op;
    int error;
    int code;
  } cases[] = {{Op::Open, EACCES, 5}, {Op::Read, EIO, EIO}, {Op::Close, EBADF, EBADF}};
  for (const auto& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.op));
    files.failNext(c.op, c.error);
    EXPECT_EQ(test::runtimeErrorOf([&] { readLauncher(dir.dosName() + "ZO.BAT", files); }), c.code);
  }
}

}  // namespace
