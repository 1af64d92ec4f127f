#include <gtest/gtest.h>

#include <optional>

#include "console/console.h"
#include "memory_device.h"
#include "texts/language.h"
#include "launcher/launcher.h"
#include "test_support.h"
#include "prompts/prompts.h"
#include "failing_files.h"
#include "settings/settings.h"

namespace {

using test::readFile;
using test::TempDirectory;
using test::writeFile;
using platform::BackupCopy;

const std::string englishReserved = "REM * reserved line * please do not remove *";

class WriteLauncher : public testing::Test {
 protected:
  TempDirectory dir;
  console::MemoryDevice device;

  void SetUp() override {
    console::start(device);
    texts::loadAllFor("EN");
  }
  // The console must not outlive its device: a later runtime error would finish it.
  void TearDown() override { console::finish(); }

  Launcher launcher{Str(englishReserved), {}};
  Settings& settings = launcher.settings;
  Str& reservedLine = launcher.reservedLine;
  Str zorDirectory = "C:\\ZOR\\";
  // As a run that read the file just now.
  void writeLauncher(const std::string& name, platform::FileSystem& files = test::systemFiles) {
    const platform::Machine m = test::machine(files);
    ::saveLauncherShowingName(m, name, launcher, zorDirectory, platform::summarizeFile(m, name));
  }
  void readLauncher(const std::string& name) { launcher = ::loadLauncherShowingName(test::machine(), name); }
  std::string fileName() const { return dir.dosName() + "ZO.BAT"; }
  std::string written() const { return readFile(dir / "ZO.BAT"); }
};

TEST_F(WriteLauncher, DefaultsGiveTheKnownThreeLines) {
  writeLauncher(fileName());
  EXPECT_EQ(written(), "@ECHO OFF\r\nREM * reserved line * please do not remove *\r\nC:\\ZOR\\ZOR4.EXE" +
                           formatOptionLine(settings));
  EXPECT_EQ(console::rowText(1).substr(0, 8 + fileName().size() + 5), "writing " + fileName() + " ... ");
  EXPECT_EQ(console::cursorRow(), 2);
  EXPECT_EQ(console::cursorColumn(), 1);
}

TEST_F(WriteLauncher, ProgramPathWithABlankIsQuoted) {
  zorDirectory = "C:\\PROGRAM FILES\\ZOR\\";
  writeLauncher(fileName());
  EXPECT_EQ(written(), std::string("@ECHO OFF\r\n") + englishReserved + "\r\n\"C:\\PROGRAM FILES\\ZOR\\ZOR4.EXE\"" +
                           formatOptionLine(settings));
}

TEST_F(WriteLauncher, EmptyReservedLineAndOldContentReplaced) {
  writeFile(dir / "ZO.BAT", "REM old\r\nline\r\nline\r\nline four\r\nfive\r\n");
  reservedLine = "";
  settings.memoryLimitKb = -5;
  writeLauncher(fileName());
  EXPECT_EQ(written(), "@ECHO OFF\r\n\r\nC:\\ZOR\\ZOR4.EXE" + formatOptionLine(settings));
}

TEST_F(WriteLauncher, RelativeNameWritesIntoTheCurrentDirectory) {
  writeLauncher(".\\ZO.BAT");
  EXPECT_EQ(written().substr(0, 11), "@ECHO OFF\r\n");
}

TEST_F(WriteLauncher, RexxLauncherComesBackInBatchForm) {
  writeFile(dir / "ZO.BAT", "/* ZO */\r\nPARSE ARG PARA\r\nREM rexx line\r\n'@C:\\ZOR\\ZOR4.EXE -U- 'PARA\r\n");
  readLauncher(fileName());
  writeLauncher(fileName());
  EXPECT_EQ(settings.subdirs, 0);
  EXPECT_EQ(written(), "@ECHO OFF\r\nREM rexx line\r\nC:\\ZOR\\ZOR4.EXE" + formatOptionLine(settings));
}

TEST_F(WriteLauncher, LongCommandLineSurvivesTheRoundTrip) {
  zorDirectory = "C:\\PROGRAM FILES\\ZOR\\";
  reservedLine = "REM * reserviert Zeile * nicht entfernen *";
  std::string table = "C:\\" + std::string(230, 'T') + ".TAB";
  settings.colourTableName = table;
  settings.subdirs = 0;
  settings.memoryLimitKb = 123;
  settings.screenLines = 50;
  writeLauncher(fileName());
  std::string first = written();
  ASSERT_GT(first.size() - first.rfind('\n'), 255u);

  settings = Settings{};
  reservedLine = englishReserved;
  readLauncher(fileName());
  EXPECT_EQ(reservedLine, "REM * reserviert Zeile * nicht entfernen *");
  EXPECT_EQ(settings.colourTableName, table);
  EXPECT_EQ(settings.subdirs, 0);
  EXPECT_EQ(settings.memoryLimitKb, 123);
  EXPECT_EQ(settings.screenLines, 50);

  writeLauncher(fileName());
  EXPECT_EQ(written(), first);
}

// Shows the first row of the last screen on stderr, so a death test can see what the run
// had written before it stopped.
TEST_F(WriteLauncher, MissingDirectoryStopsTheRun) {
  std::string name = dir.dosName() + "NODIR\\ZO.BAT";
  EXPECT_EQ(test::runtimeErrorOf([&] { writeLauncher(name); }), 3);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 0);
}

// Whichever file operation fails, the message row was shown first, the old launcher is
// still there byte for byte, and no temporary file is left beside it. (The same content
// is written again, so that no backup copy takes the failure.)
TEST_F(WriteLauncher, EachFailingOperationKeepsTheOldLauncher) {
  using Op = test::FileOp;
  test::FailingFiles files;
  writeLauncher(fileName());
  const std::string old = written();
  const struct {
    Op op;
    int error;
    int code;
  } cases[] = {
      {Op::Create, ENOENT, 2},  {Op::Write, ENOSPC, 112}, {Op::Write, 0, 101},
      {Op::Flush, EDQUOT, EDQUOT}, {Op::Rename, EBUSY, EBUSY},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "op " << static_cast<int>(c.op) << " errno " << c.error);
    console::clearScreen();
    files.failNext(c.op, c.error);
    EXPECT_EQ(test::runtimeErrorOf([&] { writeLauncher(fileName(), files); }), c.code);
    EXPECT_EQ(console::rowText(1), test::pad("writing " + fileName() + " ..."));
    EXPECT_EQ(written(), old);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
  }
}

// ZO.BAK keeps the last launcher with something of the user's own, or one changed since the
// run read it; a launcher the program would write again here leaves it alone. A hand edit
// that cannot be kept, or cannot even be read, stops the save; a save that fails leaves
// ZO.BAK.
TEST_F(WriteLauncher, ZoBakKeepsWhatTheUserHad) {
  using Op = test::FileOp;
  const std::string same = formatLauncher(launcher, zorDirectory);
  const std::string handEdited = "@ECHO OFF\r\nREM mine\r\nSET X=1\r\nC:\\ZOR\\ZOR4.EXE -U- /Q\r\n";
  Launcher other{Str("REM older"), {}};
  other.settings.screenLines = 50;
  const std::string own = formatLauncher(other, zorDirectory);                 // written by the program
  const std::string elsewhere = formatLauncher(other, "D:\\OLD 100% ZOR\\");  // ... for another ZOR
  const std::string older = "an older backup";
  const struct {
    std::optional<std::string> old;  // nullopt: no launcher yet
    bool changedSinceRead;
    bool bakIsFolder;
    std::optional<Op> failing;  // the first call of this kind fails
    int code;                   // -1: saved
    BackupCopy result;
    std::optional<std::string> bak;  // ZO.BAK afterwards; it held `older` before
  } cases[] = {
      {std::nullopt, false, false, {}, -1, BackupCopy::notNeeded, older},
      {same, false, false, {}, -1, BackupCopy::notNeeded, older},
      {own, false, false, {}, -1, BackupCopy::notNeeded, older},
      {own, true, false, {}, -1, BackupCopy::kept, own},
      {elsewhere, false, false, {}, -1, BackupCopy::kept, elsewhere},
      {same.substr(0, same.size() - 1) + "0", false, false, {}, -1, BackupCopy::kept, same.substr(0, same.size() - 1) + "0"},
      {handEdited, false, false, {}, -1, BackupCopy::kept, handEdited},
      {handEdited, false, true, {}, 5, BackupCopy::notNeeded, std::nullopt},
      {handEdited, false, false, Op::Create, 5, BackupCopy::notNeeded, older},
      {handEdited, false, false, Op::Read, 5, BackupCopy::notNeeded, older},
      {handEdited, false, false, Op::Open, 5, BackupCopy::notNeeded, older},
      {handEdited, false, false, Op::Rename, EBUSY, BackupCopy::notNeeded, older},  // the launcher's save fails
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.old.value_or("(none)"));
    std::filesystem::remove_all(dir / "ZO.BAK");
    std::filesystem::remove(dir / "ZO.BAT");
    if (c.old) writeFile(dir / "ZO.BAT", *c.old);
    platform::FileSummary asRead = platform::summarizeFile(test::machine(), fileName());
    if (c.changedSinceRead) asRead.hash ^= 1;
    if (c.bakIsFolder) std::filesystem::create_directory(dir / "ZO.BAK");
    else writeFile(dir / "ZO.BAK", older);
    test::FailingFiles files;
    if (c.failing) files.failNext(*c.failing, c.code == -1 ? EIO : c.code);
    Saved saved;
    auto save = [&] { saved = saveLauncher(test::machine(files), fileName(), launcher, zorDirectory, asRead); };
    EXPECT_EQ(test::runtimeErrorOf(save), c.code);
    EXPECT_EQ(saved.backup, c.result);
    EXPECT_EQ(saved.changedSinceRead, c.changedSinceRead);
    EXPECT_EQ(written(), c.code == -1 ? same : *c.old);
    if (c.bak) {
      EXPECT_EQ(readFile(dir / "ZO.BAK"), *c.bak);
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 2);  // no temporary file left
  }
}

// An edit made while the save flushes is found by the last check before the rename: the
// save stops and the edit stays, on either platform.
TEST_F(WriteLauncher, AnEditWhileTheSaveFlushesStopsIt) {
  writeFile(dir / "ZO.BAT", "mine");
  platform::FileSummary asRead = platform::summarizeFile(test::machine(), fileName());
  test::FailingFiles files;
  files.onCall = [this](test::FileOp op) {
    if (op == test::FileOp::Flush) writeFile(dir / "ZO.BAT", "edited meanwhile");
  };
  EXPECT_EQ(test::refusalOf([&] { saveLauncher(test::machine(files), fileName(), launcher, zorDirectory, asRead); }),
            platform::Refusal::changedWhileSaving);
  files.onCall = nullptr;
  EXPECT_EQ(readFile(dir / "ZO.BAT"), "edited meanwhile");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);  // no temporary file left
}

}  // namespace
