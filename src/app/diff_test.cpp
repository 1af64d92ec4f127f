#include "app/diff.h"

#include <gtest/gtest.h>

namespace {

// "1\n2\n...": the lines from first to last, each the number and a line end.
std::string numbered(int first, int last) {
  std::string text;
  for (int i = first; i <= last; ++i) text += std::to_string(i) + "\n";
  return text;
}

TEST(UnifiedDiff, HunksWithThreeLinesAroundEachChange) {
  const std::string ten = numbered(1, 10), fifteen = numbered(1, 15);
  struct Case {
    std::string before, after, hunks;  // hunks: what follows the two header lines
  } cases[] = {
      {ten, ten, ""},
      // A new launcher: CR LF as it is, the last line without a line end said so.
      {"", "@ECHO OFF\r\nZOR4.EXE", "@@ -0,0 +1,2 @@\n+@ECHO OFF\r\n+ZOR4.EXE\n\\ No newline at end of file\n"},
      {"a\r\nb", "a\r\nb\r\n", "@@ -1,2 +1,2 @@\n a\r\n-b\n\\ No newline at end of file\n+b\r\n"},
      // One line changed and one removed: removed lines before added ones, counts of each side.
      {ten, numbered(1, 4) + "five\n" + numbered(6, 10), "@@ -2,7 +2,7 @@\n 2\n 3\n 4\n-5\n+five\n 6\n 7\n 8\n"},
      {ten, numbered(1, 4) + numbered(6, 10), "@@ -2,7 +2,6 @@\n 2\n 3\n 4\n-5\n 6\n 7\n 8\n"},
      {ten, numbered(2, 10), "@@ -1,4 +1,3 @@\n-1\n 2\n 3\n 4\n"},
      // As many lines as can be stay unchanged in between.
      {"b\na\nb\na\nb\n", "c\nb\nc\nb\nb\n", "@@ -1,5 +1,5 @@\n+c\n b\n-a\n+c\n b\n-a\n b\n"},
      // Changes six unchanged lines apart share a hunk; seven apart they do not.
      {fifteen, "one\n" + numbered(2, 7) + "eight\n" + numbered(9, 15),
       "@@ -1,11 +1,11 @@\n-1\n+one\n 2\n 3\n 4\n 5\n 6\n 7\n-8\n+eight\n 9\n 10\n 11\n"},
      {fifteen, "one\n" + numbered(2, 8) + "nine\n" + numbered(10, 15),
       "@@ -1,4 +1,4 @@\n-1\n+one\n 2\n 3\n 4\n@@ -6,7 +6,7 @@\n 6\n 7\n 8\n-9\n+nine\n 10\n 11\n 12\n"},
      {"x\n", "", "@@ -1 +0,0 @@\n-x\n"},
  };
  for (const Case& c : cases) {
    std::string diff = unifiedDiff("ZO.BAT", c.before, c.after);
    EXPECT_EQ(diff, c.hunks.empty() ? "" : "--- ZO.BAT\n+++ ZO.BAT\n" + c.hunks) << c.before << "->" << c.after;
  }
}

}  // namespace
