#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <vector>

#include "platform/failing_files.h"
#include "platform/platform.h"
#include "platform/posix/dos_view.h"
#include "platform/test_support.h"

namespace platform {
namespace {

using Names = std::vector<std::string>;
using test::FileOp;
using test::runtimeErrorOf;

// Works in a throwaway folder on Z: (no Wine prefix there), with relative DOS names.
class FilesTest : public ::testing::Test {
 protected:
  FilesTest() { posix::forgetDriveMap(); }
  ~FilesTest() override { posix::forgetDriveMap(); }

  test::FailingFiles files;
  test::TestFolder dir;
  test::ScopedVariable winePrefix{"WINEPREFIX", dir.path.c_str()};
  test::ScopedDirectory cwd{dir.path};
};

TEST_F(FilesTest, ReadsBlocksAndSome) {
  std::string table = "QXZoFa" + std::string(61, '\x1E');
  dir.write("TEST.ZFT", table);
  File file = openRead("TEST.ZFT");
  char block[67];
  readBlock(file, block, sizeof block);
  EXPECT_EQ(std::string(block, sizeof block), table);
  EXPECT_EQ(readSome(file, block, sizeof block), 0u);
  file.close();

  std::string absolute = "Z:" + dir.path + "/TEST.ZFT";
  for (char& c : absolute)
    if (c == '/') c = '\\';
  file = openRead(absolute);
  EXPECT_EQ(readSome(file, block, 4), 4u);
  file.close();

  files.failNext(FileOp::Read, EINTR);  // an interrupted read is tried again
  file = openRead("TEST.ZFT");
  EXPECT_EQ(readSome(file, block, 6), 6u);
  EXPECT_EQ(std::string(block, 6), "QXZoFa");
  file.close();
}

TEST_F(FilesTest, ShortBlockReadIs100) {
  dir.write("SHORT.ZFT", "0123456789");
  File file = openRead("SHORT.ZFT");
  char block[67];
  EXPECT_EQ(runtimeErrorOf([&] { readBlock(file, block, sizeof block); }), 100);
}

TEST_F(FilesTest, ErrorNumbersAreWindowsNumbers) {
  dir.write("FILE.TXT", "x");
  ::mkdir((dir / "SUB").c_str(), 0755);
  EXPECT_EQ(runtimeErrorOf([&] { openRead("MISSING.TXT"); }), 2);
  EXPECT_EQ(runtimeErrorOf([&] { openRead("NODIR\\X.TXT"); }), 3);
  EXPECT_EQ(runtimeErrorOf([&] { openRead("FILE.TXT\\X"); }), 3);
  EXPECT_EQ(runtimeErrorOf([&] { openRead("SUB"); }), 5);
  EXPECT_EQ(runtimeErrorOf([&] { openRead("Q:\\X.TXT"); }), 3);  // no such drive
  EXPECT_EQ(runtimeErrorOf([&] { replaceFile("NODIR\\ZO.BAT", "x"); }), 3);
  EXPECT_EQ(runtimeErrorOf([&] { replaceFile("Q:\\ZO.BAT", "x"); }), 3);
  EXPECT_EQ(runtimeErrorOf([&] { replaceFile("SUB", "x"); }), 5);
  // A NUL byte (a name read from a launcher may hold one) names no file, not the file
  // named by the bytes before it.
  EXPECT_EQ(runtimeErrorOf([&] { openRead(std::string_view("FILE.TXT\0X", 10)); }), 3);
  EXPECT_EQ(runtimeErrorOf([&] { replaceFile(std::string_view("FILE.TXT\0X", 10), "y"); }), 3);
  EXPECT_EQ(dir.read("FILE.TXT"), "x");
  EXPECT_EQ(dir.names("SUB"), Names{});
  EXPECT_EQ(dir.names(), (Names{"FILE.TXT", "SUB"}));

  File file = openRead("FILE.TXT");
  files.failNext(FileOp::Read, EIO);
  char c;
  EXPECT_EQ(runtimeErrorOf([&] { readSome(file, &c, 1); }), 5);
  files.failNext(FileOp::Close, EBADF);
  EXPECT_EQ(runtimeErrorOf([&] { file.close(); }), EBADF);
  files.failNext(FileOp::Open, EMFILE);
  EXPECT_EQ(runtimeErrorOf([&] { openRead("FILE.TXT"); }), EMFILE);
}

TEST_F(FilesTest, TryOpenReadWriteSaysWhetherItCould) {
  dir.write("TABLE.ZFT", "x");
  ::mkdir((dir / "SUB").c_str(), 0755);
  File file;
  EXPECT_FALSE(tryOpenReadWrite("MISSING.ZFT", file));
  EXPECT_FALSE(tryOpenReadWrite("SUB", file));
  EXPECT_FALSE(tryOpenReadWrite("Q:\\TABLE.ZFT", file));
  EXPECT_FALSE(tryOpenReadWrite(std::string_view("TABLE.ZFT\0", 10), file));
  ASSERT_TRUE(tryOpenReadWrite("TABLE.ZFT", file));
  file.close();
  if (::geteuid() == 0) GTEST_SKIP() << "root may write a read-only file";
  ::chmod((dir / "TABLE.ZFT").c_str(), 0444);
  EXPECT_FALSE(tryOpenReadWrite("TABLE.ZFT", file));
}

TEST_F(FilesTest, ReplaceFileWritesTheNewContentOnly) {
  dir.write("ZO.BAT", "@ECHO OFF\r\nREM a much longer launcher than the new one\r\n\x1A");
  ::chmod((dir / "ZO.BAT").c_str(), 0640);
  replaceFile("ZO.BAT", "new\r\nlines");
  EXPECT_EQ(dir.read("ZO.BAT"), "new\r\nlines");
  struct stat status;
  ASSERT_EQ(::stat((dir / "ZO.BAT").c_str(), &status), 0);
  EXPECT_EQ(status.st_mode & 07777, 0640u);  // the old file's permissions stay

  replaceFile("NEW.ZFT", "");
  EXPECT_EQ(dir.read("NEW.ZFT"), "");
  EXPECT_EQ(dir.names(), (Names{"NEW.ZFT", "ZO.BAT"}));  // no temporary file left behind
}

TEST_F(FilesTest, ReplaceFileThroughALinkReplacesTheLinkedFile) {
  ::mkdir((dir / "REAL").c_str(), 0755);
  dir.write("REAL/ZO.BAT", "old");
  ASSERT_EQ(::symlink("REAL/ZO.BAT", (dir / "ZO.BAT").c_str()), 0);
  replaceFile("ZO.BAT", "new");
  struct stat status;
  ASSERT_EQ(::lstat((dir / "ZO.BAT").c_str(), &status), 0);
  EXPECT_TRUE(S_ISLNK(status.st_mode));
  EXPECT_EQ(dir.read("REAL/ZO.BAT"), "new");
  EXPECT_EQ(dir.names("REAL"), Names{"ZO.BAT"});
}

TEST_F(FilesTest, ReadOnlyFileIsNotReplaced) {
  if (::geteuid() == 0) GTEST_SKIP() << "root may write a read-only file";
  dir.write("ZO.BAT", "old");
  ::chmod((dir / "ZO.BAT").c_str(), 0444);
  EXPECT_EQ(runtimeErrorOf([&] { replaceFile("ZO.BAT", "new"); }), 5);
  EXPECT_EQ(dir.read("ZO.BAT"), "old");
  ::chmod(dir.path.c_str(), 0555);
  EXPECT_EQ(runtimeErrorOf([&] { replaceFile("OTHER.BAT", "new"); }), 5);
  ::chmod(dir.path.c_str(), 0755);
}

TEST_F(FilesTest, EveryFailedStepKeepsTheOldFile) {
  const std::string old = "@ECHO OFF\r\nREM * reserved line * please do not remove *\r\nZOR4.EXE %1\x1A";
  dir.write("ZO.BAT", old);
  struct Step {
    FileOp op;
    int err;
    int code;
  };
  const Step steps[] = {
      {FileOp::Create, ENOSPC, 112}, {FileOp::Create, EACCES, 5},    {FileOp::Write, ENOSPC, 112},
      {FileOp::Write, 0, 101},       {FileOp::Write, EFBIG, EFBIG},  {FileOp::Flush, EDQUOT, EDQUOT},
      {FileOp::Close, ENOSPC, 112},  {FileOp::Rename, EBUSY, EBUSY}, {FileOp::Rename, EPERM, 5},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(static_cast<int>(step.op));
    files.failNext(step.op, step.err);
    EXPECT_EQ(runtimeErrorOf([&] { replaceFile("ZO.BAT", "new launcher"); }), step.code);
    EXPECT_EQ(dir.read("ZO.BAT"), old);
    EXPECT_EQ(dir.names(), Names{"ZO.BAT"});
  }
}

using FilesDeathTest = FilesTest;

TEST_F(FilesDeathTest, FileSizeLimitIsARuntimeError) {
  dir.write("ZO.BAT", "old");
  // The limit cannot be raised again: a child process of its own takes it.
  EXPECT_EXIT(
      {
        ::signal(SIGXFSZ, SIG_IGN);
        rlimit limit;
        limit.rlim_cur = limit.rlim_max = 100;
        ::setrlimit(RLIMIT_FSIZE, &limit);
        std::exit(runtimeErrorOf([] { replaceFile("ZO.BAT", std::string(1000, 'x')); }));
      },
      ::testing::ExitedWithCode(EFBIG), "");
  EXPECT_EQ(dir.read("ZO.BAT"), "old");
  EXPECT_EQ(dir.names(), Names{"ZO.BAT"});
}

}  // namespace
}  // namespace platform
