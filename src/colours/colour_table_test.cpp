#include "colours/colour_table.h"

#include <sys/stat.h>

#include <filesystem>
#include <vector>

#include "colour_test_support.h"
#include "failing_files.h"

namespace colours_test {
namespace {

using ColourTableFile = ColourTest;

TEST_F(ColourTableFile, RunStartsWithTheAuthorsTable) {
  EXPECT_EQ(bytesOf(tableAtStart), defaultTableBytes());
}

TEST_F(ColourTableFile, NewTableSavedUnchangedIsTheDefaultWithItsComment) {
  Str name;
  device.type("NEW.TAB\rmy colours\rs");
  editColourTable(test::machine(), name, table);
  std::string expected = defaultTableBytes();
  expected.replace(6, 31, "\x0Amy colours" + std::string(20, ' '));
  EXPECT_EQ(readFile("NEW.TAB"), expected);
}

TEST_F(ColourTableFile, CommentKeepsItsFirstThirtyCharacters) {
  Str name = "LONG.TAB";
  device.type("\r" + std::string(30, 'c') + "xyz\r\r");
  editColourTable(test::machine(), name, table);
  EXPECT_EQ(readFile("LONG.TAB").substr(6, 31), '\x1E' + std::string(30, 'c'));
}

// Only a colour table is written over: any other name is refused at the prompt with a
// beep, left as it is, and the prompt takes the next name.
TEST_F(ColourTableFile, ANameThatHoldsNoTableIsRefusedAndLeftAlone) {
  std::string table67 = defaultTableBytes();
  const std::pair<std::string, std::string> files[] = {
      {"BIG.TAB", table67 + std::string(33, 'x')},            // the magic, but longer
      {"SHORT.TAB", table67.substr(0, 10)},                     // the magic, but shorter
      {"ODD.TAB", "NOTZOR" + table67.substr(6)},                // 67 bytes, another magic
      {"ZOR4.EXE", "MZ" + std::string(4998, '\x90')},
  };
  for (const auto& [name, bytes] : files) writeFile(name, bytes);
  std::vector<std::string> refused = {"BIG.TAB", "SHORT.TAB", "ODD.TAB", "ZOR4.EXE", "SUB", "NODIR\\X.TAB"};
  std::filesystem::create_directory("SUB");
#ifndef _WIN32
  ::mkfifo("FIFO", 0644);
  std::filesystem::create_symlink("LOOP", "LOOP");
  std::filesystem::create_symlink("GONE", "DANGLING");
  refused.insert(refused.end(), {"FIFO", "LOOP", "DANGLING"});
#endif
  for (const std::string& name : refused) {
    SCOPED_TRACE(name);
    Str tableName = "OLD.TAB";
    int beeps = device.beeps;
    device.type(name + "\rNEW.TAB\r\rs");  // refused, then a new table
    EXPECT_TRUE(editColourTable(test::machine(), tableName, table));
    EXPECT_EQ(device.beeps, beeps + 1);
    EXPECT_EQ(tableName, platform::expandPath(test::machine(), "NEW.TAB"));
    EXPECT_EQ(readFile("NEW.TAB").size(), 67u);
    std::filesystem::remove("NEW.TAB");
  }
  for (const auto& [name, bytes] : files) EXPECT_EQ(readFile(name), bytes) << name;
  EXPECT_EQ(test::runtimeErrorOf([&] { writeColourTable(test::machine(), "ODD.TAB", table); }), 5);  // chosen, then changed
}

TEST_F(ColourTableFile, FailuresToReadOrCloseStopTheRun) {
  writeFile("OLD.TAB", defaultTableBytes());
  test::FailingFiles files;
  for (auto [op, error] : {std::pair{test::FileOp::Read, EIO}, {test::FileOp::Close, EBADF}}) {
    files.failNext(op, error);
    EXPECT_EQ(test::runtimeErrorOf([&] { readColourTable(test::machine(files), "OLD.TAB", table); }), error);
  }
}

TEST_F(ColourTableFile, FieldsAreTakenUncheckedAndWrittenBackAsRead) {
  std::string bytes = defaultTableBytes();
  bytes.replace(0, 7, "NOTZOR\xC8");  // foreign magic, comment length 200
  writeFile("ODD.TAB", bytes);
  ASSERT_TRUE(readColourTable(test::machine(), "ODD.TAB", table));
  EXPECT_EQ(bytesOf(table), bytes);
  writeColourTable(test::machine(), "COPY.TAB", table);
  EXPECT_EQ(readFile("COPY.TAB"), bytes);
}

TEST_F(ColourTableFile, MissingFileLeavesTheTableAlone) {
  table.pairs[4].foreground = 0x07;
  std::string before = bytesOf(table);
  EXPECT_FALSE(readColourTable(test::machine(), "NONE.TAB", table));
  EXPECT_EQ(bytesOf(table), before);
}

}  // namespace
}  // namespace colours_test
