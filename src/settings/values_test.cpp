#include "settings/values.h"

#include <gtest/gtest.h>

#include "test_support.h"
#include "texts/language.h"

namespace {

const Setting& row(char key) {
  for (const Setting* r : shownOrder)
    if (r->key == key) return *r;
  throw "no such row";
}

TEST(Values, NamesTypedRelativeGoUnderZorAbsoluteOnesStay) {
  const std::string zor = "C:\\ZOR\\";
  Settings s;
  for (const char* kept : {"", "C:", "d:X.TAB", "C:\\T\\X.TAB", "\\X.TAB"}) {
    ASSERT_TRUE(takeName(row('f'), kept, zor, s));
    EXPECT_EQ(s.colourTableName, kept);
  }
  for (const char* relative : {"X.TAB", ":X", "1:X", "CC:X", "T\\X.TAB"}) {
    ASSERT_TRUE(takeName(row('f'), relative, zor, s));
    EXPECT_EQ(s.colourTableName, zor + relative) << relative;
  }
  // Refused whole, never cut: the longest name the option line carries, and one more.
  const std::string longest(std::size_t(maxOptionName) - zor.size(), 'N');
  EXPECT_TRUE(takeName(row('f'), longest, zor, s));
  for (const std::string& refused : {longest + "N", std::string("A\"B"), std::string("A\x1b")}) {
    EXPECT_FALSE(takeName(row('f'), refused, zor, s)) << refused;
    EXPECT_EQ(s.colourTableName, zor + longest);
  }
}

// The help and the error messages take their numbers and letters from the table.
TEST(Values, MessagesNameTheTablesNumbersAndLetters) {
  test::ScopedVariable lang{"LANG", "C"};
  texts::loadAll();
  EXPECT_EQ(described(row('b'), row('b').expected), "one of the letters C, E, A, F, H");
  EXPECT_EQ(described(row('b'), row('b').values), "C, E, A, F or H");
  EXPECT_EQ(described(row('z'), row('z').expected), "0, 25, 28, 43, 50 or 60");
  EXPECT_EQ(described(row('x'), row('x').values), "0 to 2048000");
  EXPECT_NE(described(row('f'), row('f').expected).find(" 252 "), std::string::npos);
  // The menu's prompt for the screen lines is a text of the language tables as it stands,
  // the counts in it included: it must name the ones the table keeps.
  std::string counts;
  for (std::int32_t n : row('z').kept)
    if (n != 0) counts += (counts.empty() ? "" : ",") + std::to_string(n);
  EXPECT_NE(std::string(text(row('z').prompt)).find(" " + counts + " lines?"), std::string::npos);
}

}  // namespace
