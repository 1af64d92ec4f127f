#include "platform/search.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

#include "platform/platform.h"
#include "test_support.h"

namespace fs = std::filesystem;

namespace platform {
namespace {

void touch(const std::string& path) { test::writeFile(path, ""); }

class SearchFile : public ::testing::Test {
 protected:
  test::TempDirectory dir;
  Str here = platform::currentDirectory(test::machine());  // the directory in DOS form
};

TEST_F(SearchFile, TheCurrentDirectoryComesFirst) {
  fs::create_directory("bin");
  touch("ZO.BAT");
  touch("bin/ZO.BAT");
  EXPECT_EQ(searchFile(test::machine(), "ZO.BAT", "bin"), here + "\\ZO.BAT");
}

TEST_F(SearchFile, WalksTheListFromTheLeft) {
  fs::create_directories("a");
  fs::create_directories("b");
  fs::create_directories("c");
  touch("b/ZO.BAT");
  touch("c/ZO.BAT");
  EXPECT_EQ(searchFile(test::machine(), "ZO.BAT", ";;a;;b;c"), here + "\\b\\ZO.BAT");
  EXPECT_EQ(searchFile(test::machine(), "ZO.BAT", "a\\;c\\"), here + "\\c\\ZO.BAT");
  EXPECT_EQ(searchFile(test::machine(), "ZO.BAT", "a;;;"), "");
  EXPECT_EQ(searchFile(test::machine(), "ZO.BAT", ""), "");
}

TEST_F(SearchFile, AQuotedElementMayHoldSemicolons) {
  fs::create_directory("x;y");
  touch("x;y/ZO.BAT");
  EXPECT_EQ(searchFile(test::machine(), "ZO.BAT", "x;y"), "");
  EXPECT_EQ(searchFile(test::machine(), "ZO.BAT", "a;\"x;y\";b"), here + "\\x;y\\ZO.BAT");
  EXPECT_EQ(searchFile(test::machine(), "ZO.BAT", "\"x;y"), here + "\\x;y\\ZO.BAT");  // unclosed: to the end
  EXPECT_EQ(searchFile(test::machine(), "ZO.BAT", "\"a\"\"x;y\""), here + "\\x;y\\ZO.BAT");  // one after another
  EXPECT_EQ(searchFile(test::machine(), "ZO.BAT", "a;\"b"), "");
  fs::create_directory("b");
  touch("b/ZO.BAT");
  EXPECT_EQ(searchFile(test::machine(), "ZO.BAT", "\"a\";b"), here + "\\b\\ZO.BAT");
}

TEST_F(SearchFile, AColonInTheFoundNameIsPartOfTheName) {
  // An element that is no drive ("LIST:") gets no backslash; on POSIX a file may be named
  // "LIST:ZO.BAT", and that whole name is the hit.
  touch("LIST:ZO.BAT");
  EXPECT_EQ(searchFile(test::machine(), "ZO.BAT", "a;LIST:"), here + "\\LIST:ZO.BAT");
}

TEST_F(SearchFile, AbsoluteElementsAndTheDotList) {
  fs::create_directory("tools");
  touch("tools/ZOR4.EXE");
  Str tools = here + "\\tools";
  EXPECT_EQ(searchFile(test::machine(), "ZOR4.EXE", tools), tools + "\\ZOR4.EXE");
  EXPECT_EQ(searchFile(test::machine(), "ZOR4.EXE", "."), "");  // only the current directory counts
  touch("ZOR4.EXE");
  EXPECT_EQ(searchFile(test::machine(), "ZOR4.EXE", "."), here + "\\ZOR4.EXE");
}

#ifndef _WIN32
TEST_F(SearchFile, AHitStaysRelativeWhereTheCurrentDirectoryHasNoDosForm) {
  std::string deep = std::string(100, 'd') + "/" + std::string(100, 'e') + "/" + std::string(100, 'f');
  fs::create_directories(deep);
  test::ScopedDirectory inside(deep);
  ASSERT_EQ(platform::currentDirectory(test::machine()), "");  // longer than a DOS path may be
  touch("ZO.BAT");
  EXPECT_EQ(searchFile(test::machine(), "ZO.BAT", ""), "ZO.BAT");
}

// A folder under the name is no hit; two spellings of it stop the search where they are,
// since which of them a program would start cannot be told.
TEST_F(SearchFile, FoldersArePassedOverAndTwoSpellingsStopTheSearch) {
  for (const char* folder : {"a", "a/ZO.BAT", "b", "c"}) fs::create_directory(folder);
  touch("b/zo.bat");
  touch("b/Zo.Bat");
  touch("c/ZO.BAT");
  Clash clash;
  EXPECT_EQ(searchFile(test::machine(), "ZO.BAT", "a;c", &clash), here + "\\c\\ZO.BAT");
  EXPECT_EQ(clash.place, "");
  EXPECT_EQ(searchFile(test::machine(), "ZO.BAT", "a;b;c", &clash), "");
  EXPECT_EQ(clash.place, "b\\ZO.BAT");
  EXPECT_EQ(std::set<std::string>({std::string(clash.first.view()), std::string(clash.second.view())}),
            std::set<std::string>({"zo.bat", "Zo.Bat"}));
}
#endif

}  // namespace
}  // namespace platform
