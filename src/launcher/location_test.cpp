#include "launcher/location.h"

#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "console/console.h"
#include "memory_device.h"
#include "texts/language.h"
#include "launcher/launcher.h"
#include "test_support.h"

namespace {

using test::TempDirectory;

std::string trimmed(std::string row) { return row.erase(row.find_last_not_of(' ') + 1); }

class PathChoice : public testing::Test {
 protected:
  TempDirectory dir;
  console::MemoryDevice device;
  std::string current;  // the current directory as listed, with its backslash

  void SetUp() override {
    console::start(device);
    texts::loadAllFor("EN");
    current = dir.dosName();
  }
  // The console must not outlive its device: a later runtime error would finish it.
  void TearDown() override { console::finish(); }
  // Runs the dialog for a search path and an answer; returns the chosen directory.
  std::string choose(std::string_view searchPath, const std::string& answer = "") {
    device.type(answer + "\r");
    return std::string(chooseLauncherDirectoryFrom(test::machine(), searchPath).view());
  }
  // The candidate rows as shown, without the row number's field and without the marker.
  std::vector<std::string> listed() {
    std::vector<std::string> rows;
    for (int row = 3; !trimmed(console::rowText(row)).empty(); ++row)
      rows.push_back(trimmed(console::rowText(row).substr(7, 32)));
    return rows;
  }
  bool marked(int candidate) { return console::rowText(candidate + 2).substr(39, 12) == "<-recommend!"; }
};

TEST_F(PathChoice, ScreenOfTheExample) {
  console::writeText("left over");
  EXPECT_EQ(choose("C:\\WINDOWS;C:\\BAT"), ".\\");
  EXPECT_EQ(trimmed(console::rowText(1)), "choice of path for ZO.BAT");
  EXPECT_EQ(trimmed(console::rowText(2)), "");
  EXPECT_EQ(trimmed(console::rowText(3)), "     1 C:\\WINDOWS\\");
  EXPECT_EQ(console::rowText(4).substr(0, 51), "     2 C:\\BAT\\" + std::string(25, ' ') + "<-recommend!");
  EXPECT_EQ(trimmed(console::rowText(5)), "     3 " + current);
  EXPECT_EQ(trimmed(console::rowText(6)), "");
  EXPECT_EQ(console::rowText(7).substr(0, 42), "in with path [1..3] may i ZO.BAT create?  ");
  EXPECT_EQ(console::attributeAt(1, 1), 0x1E);
  EXPECT_EQ(console::cursorRow(), 8);  // after the empty answer's Enter
}

TEST_F(PathChoice, GermanScreen) {
  texts::loadAllFor("DE");
  choose("C:\\BAT");
  EXPECT_EQ(trimmed(console::rowText(1)), "Pfadauswahl f\x81r ZO.BAT");
  EXPECT_EQ(trimmed(console::rowText(3)), "     1 C:\\BAT\\" + std::string(25, ' ') + "Bitte dieses!");
  EXPECT_EQ(console::rowText(6).substr(0, 49), "In welchem Pfad [1..2] darf ich ZO.BAT anlegen?  ");
}

TEST_F(PathChoice, ListBuilding) {
  const struct {
    std::string path;
    std::vector<std::string> rows;
  } cases[] = {
      {"", {current}},
      {"C:\\BAT;", {"C:\\BAT\\", current}},                            // no second ";"
      {"C:\\A;;C:\\B\\", {"C:\\A\\", current, "C:\\B\\", current}},  // empty element
      {";", {current, current}},
      {"C:\\;D:", {"C:\\", "D:\\", current}},  // drive roots keep one backslash
      {"\"C:\\BAT\";\"C:\\A;B\"", {"C:\\BAT\\", "C:\\A;B\\", current}},  // quotes go
      {"TOOLS;..\\X", {current + "TOOLS\\", dir.dosName().substr(0, current.rfind('\\', current.size() - 2) + 1) + "X\\",
                       current}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    choose(c.path);
    std::vector<std::string> shown;  // a long scratch directory (Windows' temp) is cut by the field
    for (const auto& row : c.rows) shown.push_back(row.substr(0, 32));
    EXPECT_EQ(listed(), shown);
    EXPECT_EQ(console::rowText(static_cast<int>(c.rows.size()) + 4).substr(0, 19),
              "in with path [1.." + std::to_string(c.rows.size()) + "]");
  }
}

TEST_F(PathChoice, AtMostTwentyRows) {
  std::string path;
  for (int i = 1; i <= 25; ++i) {
    std::string folder = "D";
    folder += std::to_string(i);
    std::filesystem::create_directory(folder);
    path += folder;
    path += ';';
  }
  EXPECT_EQ(choose(path, "20"), current + "D20\\");
  std::vector<std::string> rows = listed();
  ASSERT_EQ(rows.size(), 20u);
  EXPECT_EQ(rows.back(), (current + "D20\\").substr(0, 32));  // as far as the row shows it
  EXPECT_EQ(console::rowText(24).substr(0, 20), "in with path [1..20]");
  EXPECT_EQ(choose(path, "21\rD21"), "D21\\");  // out of range, and no such directory
  EXPECT_EQ(device.beeps, 1);
  // A refused answer that scrolled the screen is cleared where it went.
  EXPECT_EQ(choose(path, std::string(200, 'x') + "\rD22"), "D22\\");
  EXPECT_EQ(device.beeps, 2);
  EXPECT_EQ(console::rowText(console::cursorRow() - 1).substr(0, 20), "in with path [1..20]");
  for (int r = 1; r <= 25; ++r) EXPECT_EQ(console::rowText(r).find("xxx"), std::string::npos) << r;
}

TEST_F(PathChoice, TheCutTo255Characters) {
  // Four whole elements of 61 characters, then the start of a fifth: the last piece runs to
  // the end of the cut value, and no current directory fits behind it.
  std::string element = "C:\\" + std::string(57, 'E');
  std::string path = element + ";" + element + ";" + element + ";" + element + ";" + element + ";";
  choose(path);
  std::vector<std::string> rows = listed();
  ASSERT_EQ(rows.size(), 5u);
  EXPECT_EQ(rows[3], (element + "\\").substr(0, 32));
  EXPECT_EQ(trimmed(console::rowText(7)), "     5 C:\\" + std::string(8, 'E') + "\\");

  // 254 characters ending with ";": only the "." of ".;" fits, and it is listed.
  std::string exact = "C:\\" + std::string(250, 'X') + ";";
  ASSERT_EQ(exact.size(), 254u);
  EXPECT_EQ(choose(exact, "2"), current);
  std::filesystem::create_directory("3");  // out of range, but a directory of that name
  EXPECT_EQ(choose(exact, "3"), "3\\");

  // 253 characters without ";": the ";" and the "." fit.
  EXPECT_EQ(choose(exact.substr(0, 253), "2"), current);
}

TEST_F(PathChoice, RecommendationNeedsTheExactCase) {
  choose("C:\\BATCH;C:\\UTIL\\CMDS;C:\\Bat;C:\\XBAT;BAT");
  EXPECT_TRUE(marked(1));
  EXPECT_TRUE(marked(2));
  EXPECT_FALSE(marked(3));
  EXPECT_FALSE(marked(4));
  EXPECT_TRUE(marked(5));  // expanded against the current directory: ...\BAT\ .
}

TEST_F(PathChoice, LongCandidateIsCoveredOnScreenOnly) {
  // 70 characters: longer than the 32 before the mark, short enough for one row.
  std::string name(std::max<std::size_t>(70 - current.size() - 5, 1), 'L');
  std::filesystem::create_directories("BAT/" + name);
  std::string longPath = current + "BAT\\" + name + "\\";
  EXPECT_EQ(choose(longPath, "1"), longPath);
  EXPECT_EQ(console::rowText(3).substr(0, 51), "     1 " + longPath.substr(0, 32) + "<-recommend!");
  EXPECT_EQ(trimmed(console::rowText(3).substr(51)), longPath.substr(44));
}

TEST_F(PathChoice, Answers) {
  for (const char* folder : {"WINDOWS", "BAT", "TOOLS", "0"}) std::filesystem::create_directory(folder);
  const std::string bat = current + "BAT\\";
  const struct {
    std::string typed;
    std::string result;
  } cases[] = {
      {"", ".\\"},   {"2", bat},       {" 2", bat},          {"$2", bat},
      {"+3", current}, {"0", "0\\"},     {"TOOLS", "TOOLS\\"}, {"TOOLS\\", "TOOLS\\"},
  };
  std::string list = current + "WINDOWS;\"" + current + "BAT\"";
  for (const auto& c : cases) {
    SCOPED_TRACE("\"" + c.typed + "\"");
    EXPECT_EQ(choose(list, c.typed), c.result);
  }
  EXPECT_EQ(device.beeps, 0);

  // What names no directory is refused with a beep; the prompt waits again on its row, the
  // refused answer gone, also when it ran over the bottom of the screen.
  const std::string prompt = "in with path [1..3] may i ZO.BAT create? ";
  // Answers ending just before, at and after the last column, and one running over the bottom.
  for (int length : {38, 39, 40, 200}) device.type(std::string(static_cast<std::size_t>(length), 'x') + "\r");
  device.type("-1\r4\r2 \r$\r");
  // A directory whose ZO.BAT could not be written: a folder, a FIFO, a link to nothing.
  std::vector<std::string> unwritable = {"FOLDER"};
#ifndef _WIN32
  unwritable.insert(unwritable.end(), {"FIFO", "DANGLING"});
#endif
  for (const std::string& folder : unwritable) {
    std::filesystem::create_directory(folder);
    if (folder == "FOLDER") std::filesystem::create_directory(folder + "/ZO.BAT");
#ifndef _WIN32
    if (folder == "FIFO") ::mkfifo("FIFO/ZO.BAT", 0644);
    if (folder == "DANGLING") std::filesystem::create_symlink("nowhere", "DANGLING/ZO.BAT");
#endif
    device.type(folder + "\r");
  }
  EXPECT_EQ(choose(list, "2"), bat);
  EXPECT_EQ(device.beeps, 8 + static_cast<int>(unwritable.size()));
  int row = console::cursorRow() - 1;
  EXPECT_EQ(trimmed(console::rowText(row)), prompt + "2");
  for (int r = row + 1; r <= 25; ++r) EXPECT_EQ(trimmed(console::rowText(r)), "") << r;

  // The longest directory "ZO.BAT" fits behind: 249 characters with its backslash.
  const std::string longest = current + std::string(248 - current.size(), 'L');
  for (const std::string& name : {longest, longest + "L"}) std::filesystem::create_directory(name.substr(current.size()));
  device.type(longest + "L\r");
  EXPECT_EQ(choose(list, longest), longest + "\\");
  EXPECT_EQ(device.beeps, 9 + static_cast<int>(unwritable.size()));
}

TEST_F(PathChoice, NoPathVariableOffersTheCurrentDirectory) {
  const char* saved = std::getenv("PATH");
  std::string savedPath = saved ? saved : "";
  unsetenv("PATH");
  device.type("1\r");
  Str chosen = chooseLauncherDirectory(test::machine());
  if (saved) setenv("PATH", savedPath.c_str(), 1);
  EXPECT_EQ(chosen, current);
  EXPECT_EQ(console::rowText(5).substr(0, 19), "in with path [1..1]");
}

}  // namespace
