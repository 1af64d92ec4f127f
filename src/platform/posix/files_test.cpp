#include <gtest/gtest.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <functional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "failing_files.h"
#include "platform/leftovers.h"
#include "platform/native.h"
#include "platform/platform.h"
#include "platform/posix/dos_view.h"
#include "test_support.h"

namespace platform {
namespace {

using Names = std::vector<std::string>;
using test::FileOp;
using test::runtimeErrorOf;

// Works in a throwaway folder on Z: (no Wine prefix there), with relative DOS names.
class FilesTest : public ::testing::Test {
 protected:
  test::FailingFiles files;
  test::TestFolder dir;
  test::ScopedVariable winePrefix{"WINEPREFIX", dir.path.c_str()};
  test::ScopedDirectory cwd{dir.path};
  // The machine the file functions work on: every call through files.
  platform::Machine machine() { return test::machine(files); }
};

TEST(DriveMap, WithoutAWinePrefixOrAHomeOnlyZIsThere) {
  test::ScopedVariable prefix{"WINEPREFIX", nullptr};
  for (const char* home : {static_cast<const char*>(nullptr), ""}) {
    test::ScopedVariable noHome{"HOME", home};
    EXPECT_EQ(dos::toDos("/tmp", posix::readDriveMap()), "Z:\\tmp");
  }
}

TEST_F(FilesTest, ReadsBlocksAndSome) {
  std::string table = "QXZoFa" + std::string(61, '\x1E');
  dir.write("TEST.ZFT", table);
  File file = openRead(machine(), "TEST.ZFT");
  char block[67];
  readBlock(file, block, sizeof block);
  EXPECT_EQ(std::string(block, sizeof block), table);
  EXPECT_EQ(readSome(file, block, sizeof block), 0u);
  file.close();

  std::string absolute = "Z:" + dir.path + "/TEST.ZFT";
  for (char& c : absolute)
    if (c == '/') c = '\\';
  file = openRead(machine(), absolute);
  EXPECT_EQ(readSome(file, block, 4), 4u);
  file.close();

  files.failNext(FileOp::Read, EINTR);  // an interrupted read is tried again
  file = openRead(machine(), "TEST.ZFT");
  EXPECT_EQ(readSome(file, block, 6), 6u);
  EXPECT_EQ(std::string(block, 6), "QXZoFa");
  file.close();
}

TEST_F(FilesTest, ListingsMatchNamesInAnyLetterCaseAndNoOtherName) {
  ::mkdir("b\xE2\x82\xAC" "n", 0700);  // b€n: no DOS name reaches it, "b?n" least of all
  ::mkdir("b?n", 0700);
  ::mkdir("b\xC3\xA4n", 0700);  // bän
  ::mkdir("two", 0700);
  dir.write("two/zo.bat", "");
  dir.write("two/Zo.Bat", "");
  ::mkdir("ZOR4.EXE", 0700);
  struct {
    const char* dos;
    Listing::Found found;
    const char* name;
  } cases[] = {
      {"b?n", Listing::folder, "b?n"},
      {"B?N", Listing::folder, "b?n"},
      {"b\x84n", Listing::folder, "b\x84n"},
      {"B\x8EN", Listing::folder, "b\x84n"},  // BÄN: the letters of code page 437 in any case
      {"two\\zo.bat", Listing::file, "zo.bat"},  // spelled as given: no doubt
      {"two\\ZO.BAT", Listing::several, ""},
      {"zor4.exe", Listing::folder, "ZOR4.EXE"},
      {"TWO\\zo.bat", Listing::file, "zo.bat"},
      {"two\\ZO.BAT\\x", Listing::several, ""},  // a folder of two spellings as well
      {"b\x84n\\ZO.BAT", Listing::none, ""},
  };
  for (const auto& c : cases) {
    Listing listing = listingOf(machine(), c.dos);
    EXPECT_EQ(listing.found, c.found) << c.dos;
    if (c.found != Listing::several) {
      EXPECT_EQ(listing.name, c.name) << c.dos;
    }
  }
  Listing two = listingOf(machine(), "two\\ZO.BAT");
  EXPECT_EQ(std::set<std::string>({std::string(two.name.view()), std::string(two.other.view())}),
            std::set<std::string>({"zo.bat", "Zo.Bat"}));
  EXPECT_EQ(posix::posixPathOf(machine(), "B?N\\ZO.BAT"), dir / "b?n/ZO.BAT");
}

TEST_F(FilesTest, ShortBlockReadIs100) {
  dir.write("SHORT.ZFT", "0123456789");
  File file = openRead(machine(), "SHORT.ZFT");
  char block[67];
  EXPECT_EQ(runtimeErrorOf([&] { readBlock(file, block, sizeof block); }), 100);
}

TEST_F(FilesTest, ErrorNumbersAreWindowsNumbers) {
  dir.write("FILE.TXT", "x");
  ::mkdir((dir / "SUB").c_str(), 0755);
  EXPECT_EQ(runtimeErrorOf([&] { openRead(machine(), "MISSING.TXT"); }), 2);
  EXPECT_EQ(runtimeErrorOf([&] { openRead(machine(), "NODIR\\X.TXT"); }), 3);
  EXPECT_EQ(runtimeErrorOf([&] { openRead(machine(), "FILE.TXT\\X"); }), 3);
  EXPECT_EQ(runtimeErrorOf([&] { openRead(machine(), "SUB"); }), 5);
  EXPECT_EQ(runtimeErrorOf([&] { openRead(machine(), "Q:\\X.TXT"); }), 3);  // no such drive
  EXPECT_EQ(runtimeErrorOf([&] { replaceFile(machine(), "NODIR\\ZO.BAT", "x"); }), 3);
  EXPECT_EQ(runtimeErrorOf([&] { replaceFile(machine(), "Q:\\ZO.BAT", "x"); }), 3);
  EXPECT_EQ(runtimeErrorOf([&] { replaceFile(machine(), "SUB", "x"); }), 5);
  // A NUL byte (a name read from a launcher may hold one) names no file, not the file
  // named by the bytes before it.
  EXPECT_EQ(runtimeErrorOf([&] { openRead(machine(), std::string_view("FILE.TXT\0X", 10)); }), 3);
  EXPECT_EQ(runtimeErrorOf([&] { replaceFile(machine(), std::string_view("FILE.TXT\0X", 10), "y"); }), 3);
  EXPECT_EQ(dir.read("FILE.TXT"), "x");
  EXPECT_EQ(dir.names("SUB"), Names{});
  EXPECT_EQ(dir.names(), (Names{"FILE.TXT", "SUB"}));

  File file = openRead(machine(), "FILE.TXT");
  files.failNext(FileOp::Read, EIO);
  char c;
  EXPECT_EQ(runtimeErrorOf([&] { readSome(file, &c, 1); }), 5);
  files.failNext(FileOp::Close, EBADF);
  EXPECT_EQ(runtimeErrorOf([&] { file.close(); }), EBADF);
  files.failNext(FileOp::Open, EMFILE);
  EXPECT_EQ(runtimeErrorOf([&] { openRead(machine(), "FILE.TXT"); }), EMFILE);
}

TEST_F(FilesTest, TryOpenReadWriteSaysWhetherItCould) {
  dir.write("TABLE.ZFT", "x");
  ::mkdir((dir / "SUB").c_str(), 0755);
  File file;
  EXPECT_FALSE(tryOpenReadWrite(machine(), "MISSING.ZFT", file));
  EXPECT_FALSE(tryOpenReadWrite(machine(), "SUB", file));
  EXPECT_FALSE(tryOpenReadWrite(machine(), "Q:\\TABLE.ZFT", file));
  EXPECT_FALSE(tryOpenReadWrite(machine(), std::string_view("TABLE.ZFT\0", 10), file));
  ASSERT_TRUE(tryOpenReadWrite(machine(), "TABLE.ZFT", file));
  file.close();
  if (::geteuid() == 0) GTEST_SKIP() << "root may write a read-only file";
  ::chmod((dir / "TABLE.ZFT").c_str(), 0444);
  EXPECT_FALSE(tryOpenReadWrite(machine(), "TABLE.ZFT", file));
}

TEST_F(FilesTest, DosPathOfAPosixPathUpTo255Characters) {
  std::string folder = "Z:" + dir.path + "\\";
  for (char& c : folder)
    if (c == '/') c = '\\';
  std::string name(255 - folder.size(), 'n');  // the name need not exist
  EXPECT_EQ(dosPathOf(machine(), name), folder + name);
  EXPECT_EQ(dosPathOf(machine(), dir / name), folder + name);
  EXPECT_EQ(dosPathOf(machine(), "../x"), folder.substr(0, folder.rfind('\\', folder.size() - 2)) + "\\x");
  EXPECT_EQ(dosPathOf(machine(), name + "n"), "");
}

TEST_F(FilesTest, AFileMayTakeDescriptorZero) {
  // Run with standard input closed (from cron, say), the first file opened gets 0.
  dir.write("TABLE.ZFT", "table");
  int savedInput = ::dup(STDIN_FILENO);
  ::close(STDIN_FILENO);
  char bytes[5] = {};
  int error = runtimeErrorOf([&] { readBlock(openRead(machine(), "TABLE.ZFT"), bytes, sizeof bytes); });
  ::dup2(savedInput, STDIN_FILENO);
  ::close(savedInput);
  EXPECT_EQ(error, -1);
  EXPECT_EQ(std::string(bytes, 5), "table");
}

// writeStream's result with standard output on fd.
int writtenTo(int fd, std::string_view text) {
  int savedOutput = ::dup(STDOUT_FILENO);
  ::dup2(fd, STDOUT_FILENO);
  int error = writeStream(Stream::output, text);
  ::dup2(savedOutput, STDOUT_FILENO);
  ::close(savedOutput);
  return error;
}

TEST(WriteStream, OneByteAndAGlyphGoOutInUtf8AndAFailureIsARuntimeError) {
  int ends[2];
  ASSERT_EQ(::pipe(ends), 0);
  ::fcntl(ends[1], F_SETFL, O_NONBLOCK);  // a write that goes on and on fails when the pipe is full
  EXPECT_EQ(writtenTo(ends[1], "x") + writtenTo(ends[1], nativeText("\x80\n")), 0);
  char got[8];
  ssize_t n = ::read(ends[0], got, sizeof got);
  EXPECT_EQ(std::string(got, static_cast<std::size_t>(std::max<ssize_t>(n, 0))), "x\xC3\x87\n");

  ::close(ends[0]);
  struct sigaction ignore = {}, old = {};
  ignore.sa_handler = SIG_IGN;
  ::sigaction(SIGPIPE, &ignore, &old);
  EXPECT_EQ(writtenTo(ends[1], "x"), 109);  // no reader any more
  ::sigaction(SIGPIPE, &old, nullptr);
  ::close(ends[1]);
  int full = ::open("/dev/full", O_WRONLY);
  EXPECT_EQ(writtenTo(full, "x"), 112);
  ::close(full);
}

// Nothing from a name reaches a terminal as control: C0, DEL and C1, raw or in UTF-8, as
// \xNN; whole characters (a 0x9B inside one included) and bytes above the C1 range as they
// are.
TEST(Printable, ControlsOfEveryKindAreShownAsHex) {
  const struct {
    std::string text, shown;
  } cases[] = {
      {"a\x1B]0;x\x07" "b", "a\\x1B]0;x\\x07b"},
      {"\x7F", "\\x7F"},
      {"\xC2\x9B" "1m", "\\xC2\\x9B1m"},             // U+009B, CSI
      {"\x9B" "1m\x85\x80", "\\x9B1m\\x85\\x80"},  // raw C1 bytes, the lowest of them too
      {"\xC2\xA0\xC3\xA4\xE2\x9B\x94", "\xC2\xA0\xC3\xA4\xE2\x9B\x94"},  // U+00A0, U+00E4, U+26D4
      {"\xE2\x9B", "\xE2\\x9B"},                       // a character cut short: its C1 byte
      {"\xFF\xC2", "\xFF\xC2"},
  };
  for (const auto& c : cases) EXPECT_EQ(printable(c.text, false), c.shown) << c.text;
  EXPECT_EQ(printable("a\nb", false), "a\\x0Ab");
  EXPECT_EQ(printable("a\nb", true), "a\nb");
}

// A write into a full pipe that a signal cuts short takes only part of the text: the rest
// follows from where it stopped.
TEST(WriteStream, AWriteCutShortBySignalsGoesOnWhereItStopped) {
  std::string text;
  for (int i = 0; text.size() < 300000; ++i) text += std::to_string(i) + ' ';
  int ends[2];
  ASSERT_EQ(::pipe(ends), 0);
  pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    ::close(ends[0]);
    ::dup2(ends[1], STDOUT_FILENO);
    struct sigaction tick = {};
    tick.sa_handler = [](int) {};  // no SA_RESTART: a blocked write returns what it took
    ::sigaction(SIGALRM, &tick, nullptr);
    itimerval every10ms = {{0, 10000}, {0, 10000}};
    ::setitimer(ITIMER_REAL, &every10ms, nullptr);
    ::_exit(writeStream(Stream::output, text));
  }
  ::close(ends[1]);
  ::usleep(100000);  // the pipe fills and the ticks cut into the write
  std::string got;
  char buffer[4096];
  for (ssize_t n; got.size() <= text.size() && (n = ::read(ends[0], buffer, sizeof buffer)) > 0;)
    got.append(buffer, static_cast<std::size_t>(n));
  ::close(ends[0]);
  if (got.size() > text.size()) ::kill(child, SIGKILL);  // it writes on and on
  int status = 0;
  ::waitpid(child, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  EXPECT_TRUE(got == text) << got.size() << " bytes of " << text.size();
}

TEST_F(FilesTest, AMovedFileIsClosedOnceByItsNewOwner) {
  dir.write("TABLE.ZFT", "table");
  if (::fcntl(STDIN_FILENO, F_GETFD) < 0) ::open("/dev/null", O_RDONLY);  // descriptor 0 in use
  char bytes[5] = {};
  {
    File first = openRead(machine(), "TABLE.ZFT");
    File second = std::move(first);
    File third;
    third = std::move(second);
    { File gone = std::move(first); }  // holds nothing: closes nothing
    second = File();
    readBlock(third, bytes, sizeof bytes);
  }
  EXPECT_EQ(std::string(bytes, 5), "table");
  EXPECT_GE(::fcntl(STDIN_FILENO, F_GETFD), 0) << "descriptor 0 was closed";
}

int openDescriptors() {
  int count = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) ++count;
  return count;
}

TEST_F(FilesTest, EveryWayThroughTheFilesClosesWhatItOpened) {
  int before = openDescriptors();
  dir.write("TABLE.ZFT", std::string(67, 'x'));
  ::mkdir("b\xC3\xA4n", 0700);
  for (int round = 0; round < 3; ++round) {
    char block[67];
    readBlock(openRead(machine(), "TABLE.ZFT"), block, sizeof block);
    File file;
    tryOpenReadWrite(machine(), "TABLE.ZFT", file);
    tryOpenReadWrite(machine(), "MISSING.ZFT", file);
    replaceFile(machine(), "ZO.BAT", "launcher " + std::to_string(round), test::keepingOldAs("ZO.BAK"));  // new, then with a backup
    ::link((dir / "ZO.BAT").c_str(), (dir / "LINK.BAT").c_str());         // then in place
    files.failNext(FileOp::Write, ENOSPC);
    EXPECT_EQ(runtimeErrorOf([&] { replaceFile(machine(), "TABLE.ZFT", "y"); }), 112);
    EXPECT_TRUE(findEntry(machine(), "B\x8EN"));
  }
  EXPECT_EQ(openDescriptors(), before);
}

TEST_F(FilesTest, ReplaceFileWritesTheNewContentOnly) {
  dir.write("ZO.BAT", "@ECHO OFF\r\nREM a much longer launcher than the new one\r\n\x1A");
  ::chmod((dir / "ZO.BAT").c_str(), 0640);
  replaceFile(machine(), "ZO.BAT", "new\r\nlines");
  EXPECT_EQ(dir.read("ZO.BAT"), "new\r\nlines");
  struct stat status;
  ASSERT_EQ(::stat((dir / "ZO.BAT").c_str(), &status), 0);
  EXPECT_EQ(status.st_mode & 07777, 0640u);  // the old file's permissions stay

  replaceFile(machine(), "NEW.ZFT", "");
  EXPECT_EQ(dir.read("NEW.ZFT"), "");
  EXPECT_EQ(dir.names(), (Names{"NEW.ZFT", "ZO.BAT"}));  // no temporary file left behind
}

TEST_F(FilesTest, ReadOnlyFileIsNotReplaced) {
  dir.write("ZO.BAT", "old");
  // What the system refuses to open for writing is refused, whoever runs the program.
  files.failNext(FileOp::Open, EACCES);
  EXPECT_EQ(runtimeErrorOf([&] { replaceFile(machine(), "ZO.BAT", "new"); }), 5);
  EXPECT_EQ(dir.read("ZO.BAT"), "old");
  EXPECT_EQ(dir.names(), Names{"ZO.BAT"});
  if (::geteuid() == 0) GTEST_SKIP() << "root may write a read-only file";
  ::chmod((dir / "ZO.BAT").c_str(), 0444);
  EXPECT_EQ(runtimeErrorOf([&] { replaceFile(machine(), "ZO.BAT", "new"); }), 5);
  EXPECT_EQ(dir.read("ZO.BAT"), "old");
  ::chmod(dir.path.c_str(), 0555);
  EXPECT_EQ(runtimeErrorOf([&] { replaceFile(machine(), "OTHER.BAT", "new"); }), 5);
  ::chmod(dir.path.c_str(), 0755);
}

TEST_F(FilesTest, EveryFailedStepKeepsTheOldFile) {
  const std::string old = "@ECHO OFF\r\nREM * reserved line * please do not remove *\r\nZOR4.EXE %1\x1A";
  struct Step {
    FileOp op;
    int err;
    int code;
  };
  const Step steps[] = {
      {FileOp::Create, ENOSPC, 112}, {FileOp::Create, ENOENT, 2},   {FileOp::Write, ENOSPC, 112},
      {FileOp::Write, 0, 101},       {FileOp::Write, EFBIG, 223},   {FileOp::Flush, EDQUOT, EDQUOT},
      {FileOp::Close, ENOSPC, 112},  {FileOp::Rename, EBUSY, EBUSY}, {FileOp::Rename, EPERM, 5},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(static_cast<int>(step.op));
    dir.write("ZO.BAT", old);
    files.failNext(step.op, step.err);
    EXPECT_EQ(runtimeErrorOf([&] { replaceFile(machine(), "ZO.BAT", "new launcher"); }), step.code);
    EXPECT_EQ(dir.read("ZO.BAT"), old);
    EXPECT_EQ(dir.names(), Names{"ZO.BAT"});
  }
}

struct stat statusOf(const std::string& path) {
  struct stat status {};
  ::lstat(path.c_str(), &status);
  return status;
}

// A second name, or a folder that takes no new file (as creating it is refused here): the
// file itself is rewritten, so every name sees the new content and owner and mode stay.
// A failure before the first byte keeps the old content; any failure leaves no other file.
TEST_F(FilesTest, InPlaceRewriteAtEveryStep) {
  const std::string old(5000, 'o');  // longer than the new content: it must be cut
  struct Step {
    bool secondName;
    FileOp op;
    int err;   // -1: nothing fails
    int code;  // -1: written
    bool oldKept;
  };
  const Step steps[] = {
      {true, FileOp::Open, -1, -1, false},        {false, FileOp::Open, -1, -1, false},
      {true, FileOp::Open, EACCES, 5, true},      {true, FileOp::Reserve, ENOSPC, 112, true},
      {true, FileOp::Reserve, EFBIG, 223, true},  {true, FileOp::Reserve, EOPNOTSUPP, -1, false},
      {true, FileOp::Write, EIO, 5, false},       {true, FileOp::Truncate, EIO, 5, false},
      {true, FileOp::Flush, EDQUOT, EDQUOT, false}, {false, FileOp::Close, ENOSPC, 112, false},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(testing::Message() << static_cast<int>(step.op) << " " << step.err);
    ::unlink((dir / "OTHER").c_str());
    dir.write("ZO.BAT", old);
    ::chmod((dir / "ZO.BAT").c_str(), 0604);
    if (step.secondName) ::link((dir / "ZO.BAT").c_str(), (dir / "OTHER").c_str());
    ino_t inode = statusOf(dir / "ZO.BAT").st_ino;
    if (!step.secondName) files.failNext(FileOp::Create, EACCES);
    if (step.err >= 0) files.failNext(step.op, step.err);
    EXPECT_EQ(runtimeErrorOf([&] { replaceFile(machine(), "ZO.BAT", "new launcher"); }), step.code);
    if (step.oldKept) {
      EXPECT_EQ(dir.read("ZO.BAT"), old);
    }
    if (step.code == -1) {
      EXPECT_EQ(dir.read("ZO.BAT"), "new launcher");
    }
    struct stat now = statusOf(dir / "ZO.BAT");
    EXPECT_EQ(now.st_ino, inode);
    EXPECT_EQ(now.st_mode & 07777, 0604u);
    EXPECT_EQ(now.st_nlink, step.secondName ? 2u : 1u);
    EXPECT_EQ(dir.names(), step.secondName ? (Names{"OTHER", "ZO.BAT"}) : Names{"ZO.BAT"});
  }
  // Space is reserved for the new content and no more: a write that fails then leaves it.
  ::unlink((dir / "OTHER").c_str());
  dir.write("ZO.BAT", "old");
  ::link((dir / "ZO.BAT").c_str(), (dir / "OTHER").c_str());
  files.failNext(FileOp::Write, EIO);
  EXPECT_EQ(runtimeErrorOf([&] { replaceFile(machine(), "ZO.BAT", "new launcher"); }), 5);
  EXPECT_EQ(statusOf(dir / "ZO.BAT").st_size, 12);
}

TEST_F(FilesTest, OwnerGroupAndModeStay) {
  if (::geteuid() != 0) GTEST_SKIP() << "only root gives a file away";
  for (uid_t owner : {65534u, 0u}) {  // another owner and group; only another group
    dir.write("ZO.BAT", "old");
    ASSERT_EQ(::chown((dir / "ZO.BAT").c_str(), owner, 65534), 0);
    ::chmod((dir / "ZO.BAT").c_str(), 02640);
    ino_t inode = statusOf(dir / "ZO.BAT").st_ino;
    replaceFile(machine(), "ZO.BAT", "new");
    struct stat now = statusOf(dir / "ZO.BAT");
    EXPECT_NE(now.st_ino, inode);  // renamed over it: the careful way was possible
    EXPECT_EQ(now.st_uid, owner);
    EXPECT_EQ(now.st_gid, 65534u);
    EXPECT_EQ(now.st_mode & 07777, 02640u);
    EXPECT_EQ(dir.read("ZO.BAT"), "new");
  }
}

// Links are followed to the file they name, also one that does not exist yet.
TEST_F(FilesTest, LinksStayLinks) {
  ::mkdir((dir / "REAL").c_str(), 0755);
  dir.write("REAL/ZO.BAT", "old");
  ASSERT_EQ(::symlink("REAL/ZO.BAT", (dir / "ZO.BAT").c_str()), 0);
  ASSERT_EQ(::symlink("ZO.BAT", (dir / "CHAIN.BAT").c_str()), 0);
  ASSERT_EQ(::symlink("REAL/NEW.ZFT", (dir / "NEW.ZFT").c_str()), 0);
  replaceFile(machine(), "CHAIN.BAT", "new");
  replaceFile(machine(), "NEW.ZFT", "table");
  for (const char* name : {"ZO.BAT", "CHAIN.BAT", "NEW.ZFT"}) EXPECT_TRUE(S_ISLNK(statusOf(dir / name).st_mode)) << name;
  EXPECT_EQ(dir.read("REAL/ZO.BAT"), "new");
  EXPECT_EQ(dir.read("REAL/NEW.ZFT"), "table");
  EXPECT_EQ(dir.names("REAL"), (Names{"NEW.ZFT", "ZO.BAT"}));
  ASSERT_EQ(::symlink("LOOP", (dir / "LOOP").c_str()), 0);
  EXPECT_EQ(runtimeErrorOf([&] { replaceFile(machine(), "LOOP", "x"); }), ELOOP);
  // As the system resolves names: 40 links in a row are followed, one more is a loop.
  std::string next = "REAL/ZO.BAT";
  for (int k = 1; k <= 41; ++k) {
    std::string name = "L" + std::to_string(k);
    ASSERT_EQ(::symlink(next.c_str(), (dir / name).c_str()), 0);
    next = name;
  }
  replaceFile(machine(), "L40", "forty");
  EXPECT_EQ(dir.read("REAL/ZO.BAT"), "forty");
  EXPECT_EQ(runtimeErrorOf([&] { replaceFile(machine(), "L41", "x"); }), ELOOP);
}

// Nothing but a plain file is read or replaced, and nothing waits for a FIFO's writer.
TEST_F(FilesTest, OnlyPlainFilesAreReadOrReplaced) {
  ASSERT_EQ(::mkfifo((dir / "FIFO").c_str(), 0644), 0);
  ASSERT_EQ(::symlink("FIFO", (dir / "TOFIFO").c_str()), 0);
  ::mkdir((dir / "SUB").c_str(), 0755);
  int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::string socketPath = dir / "SOCKET";
  ASSERT_LT(socketPath.size(), sizeof address.sun_path);
  socketPath.copy(address.sun_path, socketPath.size());
  ASSERT_EQ(::bind(sock, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  for (const char* name : {"FIFO", "TOFIFO", "SUB", "SOCKET"}) {
    SCOPED_TRACE(name);
    File file;
    EXPECT_EQ(runtimeErrorOf([&] { openRead(machine(), name); }), 5);
    EXPECT_FALSE(tryOpenReadWrite(machine(), name, file));
    EXPECT_EQ(runtimeErrorOf([&] { replaceFile(machine(), name, "x"); }), 5);
  }
  ::close(sock);
  EXPECT_TRUE(S_ISFIFO(statusOf(dir / "FIFO").st_mode));
  EXPECT_TRUE(S_ISSOCK(statusOf(dir / "SOCKET").st_mode));
  EXPECT_EQ(dir.names(), (Names{"FIFO", "SOCKET", "SUB", "TOFIFO"}));
}

// What a killed run left is removed by the next save there, but for a backup copy that may
// hold the only old launcher: that one becomes ZO.BAK. A running save's files stay, known by
// the lock they hold, whatever process id made them (one in another PID namespace may have
// any).
TEST_F(FilesTest, LeftoversOfEndedRunsAreRemovedOrFinished) {
  const std::string digits = "0123456789abcdef";
  enum After { stays, removed, isTheBackup };
  const struct {
    std::string name;
    std::string content;
    bool locked;
    bool launcherSave;  // a save that keeps backups, as the launcher's does
    After after;
  } cases[] = {
      {".zorsetup-" + digits + ".tmp", "left", false, false, removed},
      {".zorsetup-" + digits + ".tmp", "running", true, true, stays},
      {".zorsetup-" + digits + ".bak", "old", false, true, removed},  // ZO.BAT still holds it
      {".zorsetup-" + digits + ".bak", "hand edit", false, true, isTheBackup},  // cut short after the rename
      {".zorsetup-" + digits + ".bak", "hand edit", true, true, stays},
      {".zorsetup-" + digits + ".bak", "hand edit", false, false, stays},  // a table's save finishes none
      {".zorsetup-0123456789ABCDEF.tmp", "not ours", false, true, stays},
      {".zorsetup-" + digits + "0.tmp", "not ours", false, true, stays},
      {".zorsetup-" + digits + ".old", "not ours", false, true, stays},
      {"zorsetup-" + digits + ".tmp", "not ours", false, true, stays},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name + " " + c.content);
    for (const std::string& name : dir.names()) ::unlink((dir / name).c_str());
    dir.write("ZO.BAT", "old");
    dir.write("ZO.BAK", "older");
    dir.write(c.name, c.content);
    int held = ::open((dir / c.name).c_str(), O_RDONLY | O_CLOEXEC);
    if (c.locked) {
      ASSERT_EQ(::flock(held, LOCK_EX), 0);
    }
    ReplaceRules rules;
    if (c.launcherSave) rules.backupName = "ZO.BAK";
    replaceFile(machine(), "ZO.BAT", "new", rules);
    ::close(held);
    Names left = {"ZO.BAK", "ZO.BAT"};
    if (c.after == stays) left.push_back(c.name);
    std::sort(left.begin(), left.end());
    EXPECT_EQ(dir.names(), left);
    EXPECT_EQ(dir.read("ZO.BAK"), c.after == isTheBackup ? c.content : "older");
  }
}

// The signal handlers can reach the temporary file while it is written, and only then.
TEST_F(FilesTest, ASignalDuringTheSaveRemovesTheTemporaryFile) {
  struct Interrupted : test::FailingFiles {
    std::vector<Names> seen;
    test::TestFolder* folder = nullptr;
    int write(std::intptr_t handle, const void* data, std::size_t size, std::size_t& put) override {
      seen.push_back(folder->names());
      platform::removeTemporaryInProgress();  // what the handler does
      seen.push_back(folder->names());
      return test::FailingFiles::write(handle, data, size, put);
    }
  } interrupted;
  interrupted.folder = &dir;
  dir.write("ZO.BAT", "old");
  EXPECT_EQ(runtimeErrorOf([&] { replaceFile(test::machine(interrupted), "ZO.BAT", "new"); }), 2);  // the rename finds it gone
  ASSERT_EQ(interrupted.seen.size(), 2u);
  EXPECT_EQ(interrupted.seen[0].size(), 2u);
  EXPECT_EQ(interrupted.seen[1], Names{"ZO.BAT"});
  EXPECT_EQ(dir.read("ZO.BAT"), "old");
  platform::removeTemporaryInProgress();  // nothing in progress any more: nothing removed
  EXPECT_EQ(dir.names(), Names{"ZO.BAT"});
}

// What a neighbour who may write the folder, or the user at another window, does between
// two steps of a save: each is found by the last check before the rename or stops the
// save before anything is written, and the old content is never lost.
TEST_F(FilesTest, AttacksDuringTheSave) {
  const std::string old = "@ECHO OFF\r\nREM hand edit";
  dir.write("SECRET", "secret");
  enum Setup { plain, linkToBak, bakFolder, noLauncher };
  const struct {
    const char* attack;
    Setup setup;
    FileOp at;                           // the first call of this kind...
    std::function<void(test::TestFolder&)> does;  // ...does this first, or fails with err
    int err;
    int code;  // -1: written
    Refusal refusal;
    std::string launcherAfter, bakAfter;
  } cases[] = {
      {"the name swapped for a link", plain, FileOp::Write,
       [](auto& d) { ::unlink((d / "ZO.BAT").c_str()), ::symlink("SECRET", (d / "ZO.BAT").c_str()); }, -1, 5,
       Refusal::changedWhileSaving, "secret", "older"},
      {"a new name taken meanwhile", noLauncher, FileOp::Write, [](auto& d) { d.write("ZO.BAT", "theirs"); }, -1, 5,
       Refusal::changedWhileSaving, "theirs", "older"},
      {"a temporary name taken ahead", plain, FileOp::Create, nullptr, EEXIST, -1, Refusal::none, "new", old},
      {"ZO.BAT a link to ZO.BAK", linkToBak, FileOp::Open, nullptr, -1, 5, Refusal::noBackup, old, old},
      {"a folder under ZO.BAK", bakFolder, FileOp::Open, nullptr, -1, 5, Refusal::noBackup, old, ""},
      {"a folder that takes no new file", plain, FileOp::Create, nullptr, EACCES, 5, Refusal::noBackup, old, "older"},
      {"a full disk for the copy", plain, FileOp::Write, nullptr, ENOSPC, 112, Refusal::noBackup, old, "older"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.attack);
    for (const std::string& name : dir.names())
      if (name != "SECRET") std::filesystem::remove_all(dir / name);
    if (c.setup != noLauncher) dir.write(c.setup == linkToBak ? "ZO.BAK" : "ZO.BAT", old);
    if (c.setup == linkToBak) ::symlink("ZO.BAK", (dir / "ZO.BAT").c_str());
    if (c.setup == bakFolder) ::mkdir((dir / "ZO.BAK").c_str(), 0755);
    if (c.setup == plain || c.setup == noLauncher) dir.write("ZO.BAK", "older");
    bool done = false;
    files.onCall = [&](FileOp op) {
      if (op != c.at || std::exchange(done, true)) return;
      if (c.does) c.does(dir);
      else if (c.err >= 0) files.failNext(op, c.err);
    };
    platform::RunEnd end{-1, Refusal::none, {}};
    try {
      replaceFile(machine(), "ZO.BAT", "new", test::keepingOldAs("ZO.BAK"));
    } catch (const platform::RunEnd& thrown) {
      end = thrown;
    }
    files.onCall = nullptr;
    EXPECT_EQ(end.code, c.code);
    EXPECT_EQ(end.refusal, c.refusal);
    if (end.refusal != Refusal::none) {
      EXPECT_EQ(end.file, dir / (c.setup == linkToBak ? "ZO.BAK" : "ZO.BAT"));
    }
    EXPECT_EQ(dir.read("ZO.BAT"), c.launcherAfter);
    if (c.setup != bakFolder) {
      EXPECT_EQ(dir.read("ZO.BAK"), c.bakAfter);
    }
    EXPECT_EQ(dir.read("SECRET"), "secret");
    EXPECT_EQ(dir.names(), (Names{"SECRET", "ZO.BAK", "ZO.BAT"}));  // no temporary file left
  }
}

// A run that ends at any step of a save, by a signal (whose handler removes or keeps what
// the save made) or outright (kill -9): the old content is in ZO.BAT, ZO.BAK or a copy the
// next save finishes into ZO.BAK; after a signal nothing else is left.
TEST_F(FilesTest, ARunEndedAtAnyStepOfASaveLosesNothing) {
  const std::string old = "hand edit";
  auto save = [&] { replaceFile(machine(), "ZO.BAT", "new", test::keepingOldAs("ZO.BAK")); };
  int steps = 0;
  dir.write("ZO.BAT", old);
  files.onCall = [&](FileOp) { ++steps; };
  save();
  files.onCall = nullptr;
  ASSERT_GT(steps, 6);
  for (bool outright : {false, true}) {
    for (int step = 0; step < steps; ++step) {
      SCOPED_TRACE(testing::Message() << (outright ? "killed" : "signalled") << " at step " << step);
      for (const std::string& name : dir.names()) ::unlink((dir / name).c_str());
      dir.write("ZO.BAT", old);
      dir.write("ZO.BAK", "older");
      pid_t child = ::fork();
      ASSERT_GE(child, 0);
      if (child == 0) {
        int calls = 0;
        files.onCall = [&](FileOp) {
          if (calls++ != step) return;
          if (!outright) removeTemporaryInProgress();  // what the handler does
          ::_exit(0);                                  // the end, no destructor runs
        };
        save();
        ::_exit(0);
      }
      ::waitpid(child, nullptr, 0);
      Names left = dir.names();
      bool inPlace = dir.read("ZO.BAT") == old || dir.read("ZO.BAK") == old;
      bool inACopy = std::ranges::any_of(left, [&](const std::string& name) { return dir.read(name) == old; });
      EXPECT_TRUE(inPlace || inACopy);
      if (!outright) {
        EXPECT_EQ(left, (Names{"ZO.BAK", "ZO.BAT"}));
      }
      replaceFile(machine(), "ZO.BAT", "newer", ReplaceRules{"ZO.BAK", 0, nullptr});  // the next save, which keeps nothing itself
      EXPECT_EQ(dir.names(), (Names{"ZO.BAK", "ZO.BAT"}));
      if (!inPlace) {
        EXPECT_EQ(dir.read("ZO.BAK"), old);  // the copy finished
      }
    }
  }
}

using FilesDeathTest = FilesTest;

// The program ignores SIGXFSZ itself: the limit is a runtime error, not the end of it.
TEST_F(FilesDeathTest, FileSizeLimitIsARuntimeError) {
  dir.write("ZO.BAT", "old");
  // The limit cannot be raised again: a child process of its own takes it.
  EXPECT_EXIT(
      {
        rlimit limit;
        limit.rlim_cur = limit.rlim_max = 100;
        ::setrlimit(RLIMIT_FSIZE, &limit);
        std::exit(runtimeErrorOf([] { replaceFile(test::machine(), "ZO.BAT", std::string(1000, 'x')); }));
      },
      ::testing::ExitedWithCode(223), "");
  EXPECT_EQ(dir.read("ZO.BAT"), "old");
  EXPECT_EQ(dir.names(), Names{"ZO.BAT"});
}

}  // namespace
}  // namespace platform
