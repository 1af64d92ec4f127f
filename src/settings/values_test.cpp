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

// A value of --set is taken as the menu would take it: the same words in every case,
// numbers within the menu's range, the screen lines corrected as the menu corrects them.
TEST(Values, SetValuesAreTakenAsTheMenuTakesThem) {
  struct Case {
    char key;
    const char* value;
    const char* shownAfter;  // as --show prints it; nullptr when the value is refused
  } cases[] = {
      {'u', "OFF", "off"}, {'u', "On", "on"},    {'u', "yes", nullptr}, {'u', "", nullptr},
      {'b', "h", "H"},     {'b', "E", "E"},      {'b', "CE", nullptr},  {'b', "", nullptr},
      {'x', "$10", "16"},  {'x', "2048000", "2048000"}, {'x', "2048001", nullptr}, {'x', "-1", nullptr},
      {'z', "30", "25"},   {'z', "00", "0"},     {'z', "43", "43"},     {'z', "61", nullptr},
  };
  for (const Case& c : cases) {
    Settings s;
    std::string before = scriptValue(row(c.key), s);
    bool taken = takeValue(row(c.key), c.value, "C:\\ZOR\\", s);
    EXPECT_EQ(taken, c.shownAfter != nullptr) << c.key << "=" << c.value;
    EXPECT_EQ(scriptValue(row(c.key), s), c.shownAfter ? c.shownAfter : before) << c.key << "=" << c.value;
  }
}

// The help and the error messages take their numbers and letters from the table.
TEST(Values, MessagesNameTheTablesNumbersAndLetters) {
  test::ScopedVariable lang{"LANG", "C"};
  texts::loadAll();
  EXPECT_EQ(described(row('b'), row('b').expected), "one of the letters C, E, A, F, H");
  EXPECT_EQ(described(row('b'), row('b').values), "C, E, A, F or H");
  EXPECT_EQ(described(row('z'), row('z').expected), "0, 25, 28, 43, 50 or 60 (other numbers up to 60 give 25)");
  EXPECT_EQ(described(row('x'), row('x').values), "0 to 2048000");
  EXPECT_NE(described(row('f'), row('f').expected).find(" 252 "), std::string::npos);
}

}  // namespace
