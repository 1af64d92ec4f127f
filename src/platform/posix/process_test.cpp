#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "base/ascii.h"
#include "platform/platform.h"
#include "platform/posix/dos_view.h"
#include "test_support.h"

namespace platform {
namespace {

using test::ScopedDirectory;
using test::ScopedVariable;
using test::TestFolder;

std::string dosForm(std::string posix) {
  for (char& c : posix)
    if (c == '/') c = '\\';
  return posix;
}

// A Wine prefix with C: and D: in a throwaway folder, "/" on Z:.
class WinePrefixTest : public ::testing::Test {
 protected:
  WinePrefixTest() {
    for (const char* folder : {"dosdevices", "drive_c", "drive_c/ZOR", "data"})
      ::mkdir((prefix / folder).c_str(), 0755);
    EXPECT_EQ(::symlink("../drive_c", (prefix / "dosdevices/c:").c_str()), 0);
    EXPECT_EQ(::symlink((prefix / "data").c_str(), (prefix / "dosdevices/d:").c_str()), 0);
    EXPECT_EQ(::symlink("/", (prefix / "dosdevices/z:").c_str()), 0);
    EXPECT_EQ(::symlink("/nowhere", (prefix / "dosdevices/a:").c_str()), 0);
    EXPECT_EQ(::symlink("x", (prefix / "dosdevices/b:").c_str()), 0);
    // Wine's links to the raw devices and ports name no drive.
    EXPECT_EQ(::symlink((prefix / "data").c_str(), (prefix / "dosdevices/e::").c_str()), 0);
    EXPECT_EQ(::symlink((prefix / "data").c_str(), (prefix / "dosdevices/com1").c_str()), 0);
    prefix.write("drive_c/ZOR/ZOR4.EXE", "MZ");
    prefix.write(
        "data/Gr\xC3\xBC\xC3\x9F"
        "e.txt",
        "");
  }

  TestFolder prefix;
  ScopedVariable winePrefix{"WINEPREFIX", prefix.path.c_str()};
};

TEST_F(WinePrefixTest, DrivesComeFromTheDosdevicesLinks) {
  const dos::DriveMap map = posix::readDriveMap();
  EXPECT_EQ(map.targets['a' - 'a'], "/nowhere");  // a link to nothing still names its drive
  EXPECT_EQ(map.targets['b' - 'a'], prefix / "dosdevices/x");
  EXPECT_EQ(map.targets['c' - 'a'], prefix / "drive_c");
  EXPECT_EQ(map.targets['d' - 'a'], prefix / "data");
  EXPECT_EQ(map.targets['z' - 'a'], "/");
  EXPECT_EQ(map.targets['e' - 'a'], "");
}

TEST_F(WinePrefixTest, CurrentDirectoryAndExpansionInDosForm) {
  {
    ScopedDirectory cwd(prefix / "drive_c/ZOR");
    EXPECT_EQ(currentDirectory(test::machine()), "C:\\ZOR");
    EXPECT_EQ(expandPath(test::machine(), ""), "C:\\ZOR");
    EXPECT_EQ(expandPath(test::machine(), "ZO.BAT"), "C:\\ZOR\\ZO.BAT");
    EXPECT_EQ(expandPath(test::machine(), ".."), "C:\\");
    EXPECT_EQ(expandPath(test::machine(), "D:"), "D:\\");
  }
  {
    ScopedDirectory cwd(prefix / "drive_c");
    EXPECT_EQ(currentDirectory(test::machine()), "C:\\");
  }
  ScopedDirectory cwd(prefix.path);  // outside C: and D:, so on Z:
  EXPECT_EQ(currentDirectory(test::machine()), "Z:" + dosForm(prefix.path));
}

TEST_F(WinePrefixTest, FindEntryListsNamesAsTheFileSystemCompares) {
  ScopedDirectory cwd(prefix / "drive_c/ZOR");
  Str stored;
  EXPECT_TRUE(findEntry(test::machine(), "ZOR4.EXE", &stored));
  EXPECT_EQ(stored, "ZOR4.EXE");
  EXPECT_TRUE(findEntry(test::machine(), "zor4.exe", &stored));  // in any letter case, as Wine finds it
  EXPECT_EQ(stored, "ZOR4.EXE");
  EXPECT_TRUE(findEntry(test::machine(), "..\\ZOR\\.\\ZOR4.EXE"));
  EXPECT_TRUE(findEntry(test::machine(), "C:ZOR4.EXE"));
  EXPECT_TRUE(findEntry(test::machine(), "C:\\ZOR"));  // a folder is listed too
  EXPECT_TRUE(
      findEntry(test::machine(), "D:\\Gr\x81\xE1"
                "e.txt",
                &stored));
  EXPECT_EQ(stored,
            "Gr\x81\xE1"
            "e.txt");
  EXPECT_FALSE(findEntry(test::machine(), "E:\\ZOR4.EXE"));  // no such drive
  EXPECT_FALSE(findEntry(test::machine(), "C:\\ZOR\\"));
  EXPECT_FALSE(findEntry(test::machine(), "C:\\"));
  EXPECT_FALSE(findEntry(test::machine(), ""));
  EXPECT_FALSE(findEntry(test::machine(), "MISSING.EXE"));

  ASSERT_EQ(::symlink("gone", "DANGLING"), 0);
  EXPECT_TRUE(findEntry(test::machine(), "DANGLING"));

  // Names that differ only in letter case are different files: the one named is the one
  // given, whichever the folder lists first.
  std::vector<std::string> spellings = {"ZO.BAT", "zo.bat", "Zo.Bat", "zO.bAT", "ZO.bat", "zo.BAT"};
  for (const std::string& name : spellings) prefix.write("drive_c/ZOR/" + name, "");
  std::string last;
  for (const auto& entry : std::filesystem::directory_iterator(".")) {
    std::string name = entry.path().filename().string();
    if (ascii::sameIgnoringCase(name, "ZO.BAT")) last = name;
  }
  EXPECT_TRUE(findEntry(test::machine(), last, &stored));
  EXPECT_EQ(stored, last);
  prefix.write("drive_c/ZOR/TMP", "");  // looked up in its own folder, not in the root's "tmp"
  EXPECT_TRUE(findEntry(test::machine(), "TMP", &stored));
  EXPECT_EQ(stored, "TMP");
}

TEST_F(WinePrefixTest, SearchPathInDosForm) {
  std::string path = prefix / "data" + ":/usr/bin::" + prefix / "odd;dir" + ":bin";
  ScopedVariable variable("PATH", path.c_str());
  EXPECT_EQ(searchPath(test::machine()), "D:\\;Z:\\usr\\bin;;\"Z:" + dosForm(prefix / "odd;dir") + "\";bin");
}

TEST(DriveMapPosix, WithoutDosdevicesZIsTheRoot) {
  TestFolder home;
  ScopedVariable winePrefix("WINEPREFIX", home.path.c_str());
  const dos::DriveMap map = posix::readDriveMap();
  for (std::size_t d = 0; d < 25; ++d) EXPECT_EQ(map.targets[d], "") << d;
  EXPECT_EQ(map.targets[25], "/");
  ScopedDirectory cwd(home.path);
  EXPECT_EQ(currentDirectory(test::machine()), "Z:" + dosForm(home.path));
}

TEST(DriveMapPosix, DefaultPrefixIsInHome) {
  TestFolder home;
  ::mkdir((home / ".wine").c_str(), 0755);
  ::mkdir((home / ".wine/dosdevices").c_str(), 0755);
  ASSERT_EQ(::symlink(home.path.c_str(), (home / ".wine/dosdevices/h:").c_str()), 0);
  ScopedVariable winePrefix("WINEPREFIX", nullptr);
  ScopedVariable homeVariable("HOME", home.path.c_str());
  ScopedDirectory cwd(home / ".wine");
  EXPECT_EQ(currentDirectory(test::machine()), "H:\\.wine");
}

TEST(Environment, RealEnvironment) {
  ScopedVariable first("ZorSetup_Test", "first");
  ScopedVariable second("ZORSETUP_TEST", "second");  // added after: the earlier entry counts
  EXPECT_EQ(environmentValue("zorsetup_test"), "first");

  std::string longValue(300, 'v');
  ScopedVariable longOne("ZORSETUP_LONG", longValue.c_str());
  EXPECT_EQ(environmentValue("ZORSETUP_LONG"), std::string(255, 'v'));

  ScopedVariable language("LANG", "de_DE.UTF-8");
  EXPECT_EQ(environmentValue("lang"), "de_DE.UTF-8");
  EXPECT_EQ(environmentValue("ZORSETUP_ABSENT"), "");
}

}  // namespace
}  // namespace platform
