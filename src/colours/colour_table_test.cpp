#include "colours/colour_table.h"

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
  editColourTable(name, table);
  std::string expected = defaultTableBytes();
  expected.replace(6, 31, "\x0Amy colours" + std::string(20, ' '));
  EXPECT_EQ(readFile("NEW.TAB"), expected);
}

TEST_F(ColourTableFile, CommentKeepsItsFirstThirtyCharacters) {
  Str name = "LONG.TAB";
  device.type("\r" + std::string(30, 'c') + "xyz\r\r");
  editColourTable(name, table);
  EXPECT_EQ(readFile("LONG.TAB").substr(6, 31), '\x1E' + std::string(30, 'c'));
}

TEST_F(ColourTableFile, LongerFileIsReadFromItsStartAndSavedAsSixtySevenBytes) {
  std::string bytes;
  for (int i = 0; i < 100; ++i) bytes += static_cast<char>(i);
  writeFile("BIG.TAB", bytes);
  Str name = "BIG.TAB";
  device.type("\r\r");  // no comment is asked for a table that exists
  editColourTable(name, table);
  EXPECT_EQ(readFile("BIG.TAB"), bytes.substr(0, 67));
}

TEST_F(ColourTableFile, ShortFileStopsTheRunAndStaysAsItWas) {
  writeFile("SHORT.TAB", "0123456789");
  Str name = "SHORT.TAB";
  device.type("\rs");
  EXPECT_EQ(test::runtimeErrorOf([this, &name] { editColourTable(name, table); }), 100);
  EXPECT_EQ(readFile("SHORT.TAB"), "0123456789");
}

TEST_F(ColourTableFile, FailuresToReadOrCloseStopTheRun) {
  writeFile("OLD.TAB", defaultTableBytes());
  test::FailingFiles files;
  for (auto [op, error] : {std::pair{test::FileOp::Read, EIO}, {test::FileOp::Close, EBADF}}) {
    files.failNext(op, error);
    EXPECT_EQ(test::runtimeErrorOf([this] { readColourTable("OLD.TAB", table); }), error);
  }
}

TEST_F(ColourTableFile, FieldsAreTakenUncheckedAndWrittenBackAsRead) {
  std::string bytes = defaultTableBytes();
  bytes.replace(0, 7, "NOTZOR\xC8");  // foreign magic, comment length 200
  writeFile("ODD.TAB", bytes);
  ASSERT_TRUE(readColourTable("ODD.TAB", table));
  EXPECT_EQ(bytesOf(table), bytes);
  writeColourTable("COPY.TAB", table);
  EXPECT_EQ(readFile("COPY.TAB"), bytes);
}

TEST_F(ColourTableFile, MissingFileLeavesTheTableAlone) {
  table.pairs[4].foreground = 0x07;
  std::string before = bytesOf(table);
  EXPECT_FALSE(readColourTable("NONE.TAB", table));
  EXPECT_EQ(bytesOf(table), before);
}

}  // namespace
}  // namespace colours_test
