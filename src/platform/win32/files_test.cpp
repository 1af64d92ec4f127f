// The Win32 file and environment services, against a scratch directory of the real file
// system.
#include <gtest/gtest.h>

#include <cerrno>
#include <string>

#include "failing_files.h"
#include "platform/platform.h"
#include "test_support.h"
#include "platform/win32/code_page.h"
#include "platform/win32/windows.h"

namespace {

using test::FileOp;
using test::runtimeErrorOf;

class Win32Files : public ::testing::Test {
 protected:
  void SetUp() override {
    char temp[MAX_PATH + 1];
    ASSERT_NE(GetTempPathA(sizeof temp, temp), 0u);
    for (unsigned n = GetTickCount();; ++n) {
      dir = std::string(temp) + "zortest" + std::to_string(n % 100000);
      if (CreateDirectoryA(dir.c_str(), nullptr)) break;
      ASSERT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    }
    dir += '\\';
  }
  void TearDown() override {
    WIN32_FIND_DATAA found;
    HANDLE h = FindFirstFileA((dir + "*").c_str(), &found);
    if (h != INVALID_HANDLE_VALUE) {
      do {
        std::string path = dir + found.cFileName;
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(path.c_str());
      } while (FindNextFileA(h, &found));
      FindClose(h);
    }
    RemoveDirectoryA(dir.c_str());
  }

  std::string contentOf(const std::string& path) {
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return "<missing>";
    std::string text;
    char buffer[256];
    DWORD read = 0;
    while (ReadFile(h, buffer, sizeof buffer, &read, nullptr) && read > 0) text.append(buffer, read);
    CloseHandle(h);
    return text;
  }

  // The names in the scratch directory, in listing order, joined by blanks.
  std::string listing() {
    std::string names;
    WIN32_FIND_DATAA found;
    HANDLE h = FindFirstFileA((dir + "*").c_str(), &found);
    if (h == INVALID_HANDLE_VALUE) return names;
    do {
      std::string name = found.cFileName;
      if (name != "." && name != "..") names += (names.empty() ? "" : " ") + name;
    } while (FindNextFileA(h, &found));
    FindClose(h);
    return names;
  }

  std::string dir;
};

TEST_F(Win32Files, ReplaceFileCreatesAndReplacesLeavingNoTemporaryFile) {
  std::string target = dir + "ZO.BAT";
  platform::replaceFile(test::machine(), target, "@ECHO OFF\r\nfirst");
  EXPECT_EQ(contentOf(target), "@ECHO OFF\r\nfirst");
  platform::replaceFile(test::machine(), target, "second");
  EXPECT_EQ(contentOf(target), "second");
  EXPECT_EQ(listing(), "ZO.BAT");
}

TEST_F(Win32Files, AFailedReplaceKeepsTheOldFileAndRemovesTheTemporaryOne) {
  std::string target = dir + "TABLE.FAR";
  platform::replaceFile(test::machine(), target, "old content");
  ASSERT_TRUE(SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_READONLY));
  EXPECT_EQ(runtimeErrorOf([&] { platform::replaceFile(test::machine(), target, "new content"); }), 5);
  EXPECT_EQ(contentOf(target), "old content");
  EXPECT_EQ(listing(), "TABLE.FAR");
}

TEST_F(Win32Files, EveryFailingStepOfAReplaceKeepsTheOldFile) {
  test::FailingFiles files;
  std::string target = dir + "ZO.BAT";
  platform::replaceFile(test::machine(files), target, "old");
  const struct {
    FileOp op;
    int error;
    int code;
  } cases[] = {{FileOp::Create, EACCES, 5}, {FileOp::Write, ENOSPC, 112}, {FileOp::Write, 0, 101},
               {FileOp::Flush, EIO, EIO},   {FileOp::Close, ENOSPC, 112}, {FileOp::Rename, EBUSY, EBUSY}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.code);
    files.failNext(c.op, c.error);
    EXPECT_EQ(runtimeErrorOf([&] { platform::replaceFile(test::machine(files), target, "new content"); }), c.code);
    EXPECT_EQ(contentOf(target), "old");
    EXPECT_EQ(listing(), "ZO.BAT");
  }
}

// Others may read and write a file the program has open; a replace keeps the old file's
// attributes; what a killed run left is removed, a file a running save holds stays.
TEST_F(Win32Files, SharingAttributesAndLeftovers) {
  std::string target = dir + "T.FAR";
  platform::replaceFile(test::machine(), target, "old");
  platform::File reading = platform::openRead(test::machine(), target);
  HANDLE other = CreateFileA(target.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                             OPEN_EXISTING, 0, nullptr);
  EXPECT_NE(other, INVALID_HANDLE_VALUE);
  CloseHandle(other);
  reading.close();

  ASSERT_TRUE(SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_HIDDEN));
  HANDLE held = CreateFileA((dir + "ZOR0ABCD.$$$").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  for (const char* name : {"ZOR12345.$$$", "ZOR1.$$$"})
    CloseHandle(CreateFileA((dir + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
  EXPECT_EQ(platform::replaceFile(test::machine(), target, "new", test::keepingOldAs("T.BAK")),
            platform::BackupCopy::kept);
  CloseHandle(held);
  EXPECT_EQ(contentOf(target), "new");
  EXPECT_EQ(contentOf(dir + "T.BAK"), "old");
  EXPECT_TRUE(GetFileAttributesA(target.c_str()) & FILE_ATTRIBUTE_HIDDEN);
  auto there = [&](const char* name) { return GetFileAttributesA((dir + name).c_str()) != INVALID_FILE_ATTRIBUTES; };
  EXPECT_FALSE(there("ZOR12345.$$$"));
  EXPECT_TRUE(there("ZOR0ABCD.$$$"));
  EXPECT_TRUE(there("ZOR1.$$$"));  // not a name of ours

  // A backup copy left by a save cut short goes where the file still holds the same, and
  // becomes the backup where it is the old content's only copy.
  for (std::string left : {"new", "a hand edit"}) {
    HANDLE copy = CreateFileA((dir + "ZOR2345F.BK$").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    DWORD written = 0;
    WriteFile(copy, left.data(), static_cast<DWORD>(left.size()), &written, nullptr);
    CloseHandle(copy);
    platform::replaceFile(test::machine(), target, "newer", platform::ReplaceRules{"T.BAK", 0, nullptr});
    EXPECT_FALSE(there("ZOR2345F.BK$"));
    EXPECT_EQ(contentOf(dir + "T.BAK"), left == "new" ? "old" : left);
  }
}

TEST_F(Win32Files, FailingReadsAndClosesStopTheRun) {
  test::FailingFiles files;
  std::string name = dir + "T.FAR";
  platform::replaceFile(test::machine(files), name, "abc");
  files.failNext(FileOp::Open, EMFILE);
  EXPECT_EQ(runtimeErrorOf([&] { platform::openRead(test::machine(files), name); }), EMFILE);
  platform::File file = platform::openRead(test::machine(files), name);
  files.failNext(FileOp::Read, EROFS);
  char buffer[3];
  EXPECT_EQ(runtimeErrorOf([&] { platform::readSome(file, buffer, 3); }), 5);
  files.failNext(FileOp::Close, EBADF);
  EXPECT_EQ(runtimeErrorOf([&] { file.close(); }), EBADF);
}

TEST_F(Win32Files, ReplacingInAMissingDirectoryIsPathNotFound) {
  EXPECT_EQ(runtimeErrorOf([&] { platform::replaceFile(test::machine(), dir + "nowhere\\ZO.BAT", "x"); }), 3);
}

TEST_F(Win32Files, OpeningAMissingFileIsFileNotFoundUnlessOnlyTested) {
  EXPECT_EQ(runtimeErrorOf([&] { platform::openRead(test::machine(), dir + "NONE.FAR"); }), 2);
  platform::File file;
  EXPECT_FALSE(platform::tryOpenReadWrite(test::machine(), dir + "NONE.FAR", file));
}

TEST_F(Win32Files, AShortBlockReadIsError100) {
  std::string name = dir + "SHORT.FAR";
  platform::replaceFile(test::machine(), name, "0123456789");
  platform::File file = platform::openRead(test::machine(), name);
  char block[67];
  EXPECT_EQ(runtimeErrorOf([&] { platform::readBlock(file, block, sizeof block); }), 100);
  file.close();
  file = platform::openRead(test::machine(), name);
  platform::readBlock(file, block, 10);
  EXPECT_EQ(std::string(block, 10), "0123456789");
  EXPECT_EQ(platform::readSome(file, block, sizeof block), 0u);
  file.close();
}

TEST_F(Win32Files, FindEntryGivesTheStoredSpellingAndTakesNoPattern) {
  platform::replaceFile(test::machine(), dir + "MixedCase.Txt", "x");
  Str stored;
  ASSERT_TRUE(platform::findEntry(test::machine(), dir + "MIXEDCASE.TXT", &stored));
  EXPECT_EQ(stored, "MixedCase.Txt");
  EXPECT_FALSE(platform::findEntry(test::machine(), dir + "Mixed*", &stored));
  EXPECT_FALSE(platform::findEntry(test::machine(), dir + "MixedCase.Tx?", &stored));
  EXPECT_FALSE(platform::findEntry(test::machine(), dir + "OTHER.TXT", &stored));
}

TEST_F(Win32Files, ExpandPathResolvesAgainstTheCurrentDirectory) {
  Str current = platform::currentDirectory(test::machine());
  ASSERT_FALSE(current.empty());
  EXPECT_EQ(platform::expandPath(test::machine(), ""), current.view());
  std::string base(current.view());
  if (base.back() != '\\') base += '\\';
  EXPECT_EQ(platform::expandPath(test::machine(), "a\\..\\b\\.\\c"), base + "b\\c");
  EXPECT_EQ(platform::expandPath(test::machine(), "Q:\\x\\..\\y"), "Q:\\y");
}

// Letters of code pages 437 and 850 alike; the euro sign is in neither.
TEST(Win32CodePage, WideNamesInTheOemCodePageOrNotAtAll) {
  EXPECT_EQ(platform::win32::oemOf(L"b\u00e4n \u00e9"), "b\x84n \x82");
  std::string lacking;
  EXPECT_EQ(platform::win32::oemOf(L"b\u20acn", &lacking), std::nullopt);
  EXPECT_EQ(lacking, "U+20AC");
  EXPECT_EQ(platform::win32::oemOf(L"\U0001F600", &lacking), std::nullopt);  // a surrogate pair, one character
  EXPECT_EQ(lacking, "U+1F600");
  EXPECT_EQ(platform::win32::oemOf(L"a\uf03cb\uf001"), "a<b\x01");  // as Wine shows what Windows forbids
  EXPECT_EQ(platform::win32::oemShown(L"b\u20acn"), "b?n");
  EXPECT_EQ(platform::win32::wideOf("b\x84n"), L"b\u00e4n");
}

// PATH comes in the OEM code page, a folder it cannot name left out.
TEST(Win32Environment, ValuesInTheOemCodePage) {
  wchar_t saved[32768];
  DWORD length = GetEnvironmentVariableW(L"PATH", saved, 32768);
  ASSERT_TRUE(SetEnvironmentVariableW(L"PATH", L"C:\\b\u00e4n;C:\\b\u20acn;\"C:\\x;y\";C:\\z"));
  EXPECT_EQ(platform::environmentValue("path"), "C:\\b\x84n;\"C:\\x;y\";C:\\z");
  SetEnvironmentVariableW(L"PATH", length > 0 && length < 32768 ? saved : nullptr);
  ASSERT_TRUE(SetEnvironmentVariableW(L"ZorSetupTestVariable", L"gr\u00fcn"));
  EXPECT_EQ(platform::environmentValue("ZorSetupTestVariable"), "gr\x81n");
  SetEnvironmentVariableA("ZorSetupTestVariable", nullptr);
}

TEST(Win32Environment, NamesMatchWithoutCaseAndValuesAreCut) {
  std::string value(300, 'v');
  value[0] = 'W';
  ASSERT_TRUE(SetEnvironmentVariableA("ZorSetupTestVariable", value.c_str()));
  Str found = platform::environmentValue("zorsetuptestVARIABLE");
  EXPECT_EQ(found.size(), 255u);
  EXPECT_EQ(found, value.substr(0, 255));
  EXPECT_EQ(platform::environmentValue("ZorSetupTestVariabl"), "");
  EXPECT_EQ(platform::environmentValue("ZorSetupNoSuchVariable"), "");
  SetEnvironmentVariableA("ZorSetupTestVariable", nullptr);
}

}  // namespace
