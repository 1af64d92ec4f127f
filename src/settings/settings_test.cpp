#include "settings/settings.h"

#include <gtest/gtest.h>

#include <string>

#include "settings_test_support.h"

namespace {

using test::allFlags;

const std::string defaultLine =
    " -!- -BC -C+ -G+ -H+ -L+ -ICO+ -M+ -P- -S- -U+ -X3000 -Z0 %1 %2 %3 %4 %5 %6 %7 %8 %9";

TEST(OptionLine, Defaults) { EXPECT_EQ(formatOptionLine(Settings{}), defaultLine); }

// Every flag's item ends in "+" when on and in "-" when off; the resource table's is
// written only when on, between " -P" and " -S".
TEST(OptionLine, AllFlagsOnOrOff) {
  for (Flag value : {Flag{0}, Flag{1}}) {
    std::string line = formatOptionLine(allFlags(value));
    for (const Setting* row : writingOrder) {
      if (row->kind != Kind::flag) continue;
      std::string item = " -" + std::string(row->letters) + flagChars[value] + " ";
      EXPECT_EQ(line.find(item) != std::string::npos, value == 1 || !row->onlyWhenSet) << line << item;
    }
  }
  EXPECT_NE(formatOptionLine(allFlags(1)).find(" -P+ -R+ -S+ "), std::string::npos);
}

TEST(OptionLine, ModesNumbersAndNames) {
  Settings s;
  const char* letters[] = {" -BC ", " -BE ", " -BA ", " -BF ", " -BH "};
  for (int mode = 0; mode < 5; ++mode) {
    s.screenMode = static_cast<std::int8_t>(mode);
    EXPECT_NE(formatOptionLine(s).find(letters[mode]), std::string::npos) << mode;
  }
  s = Settings{};
  s.memoryLimitKb = -5;
  s.screenLines = 50;
  s.colourTableName = "C:\\ZOR\\blue.tab";
  s.unpacker = "c:\\bin\\unp";
  std::string line = formatOptionLine(s);
  for (const char* item : {" -C+ -FC:\\ZOR\\blue.tab -G+ ", " -M+ -Nc:\\bin\\unp -P- ", " -X-5 -Z50 %1 "})
    EXPECT_NE(line.find(item), std::string::npos) << line << item;
  s.memoryLimitKb = INT32_MIN;
  EXPECT_NE(formatOptionLine(s).find(" -X-2147483648 -Z50 "), std::string::npos);
}

// A name longer than 252 characters (only a launcher edited by hand has one) is written
// whole. How quoted names reach ZOR is shown through the command interpreter itself, in
// tests/e2e/test_wine.py.
TEST(OptionLine, LongNamesAreWrittenWhole) {
  Settings s;
  s.colourTableName = std::string(255, 'a');
  s.unpacker = std::string(254, 'b').append("&");
  EXPECT_EQ(formatOptionLine(s).size(), formatOptionLine(Settings{}).size() + (3 + 255) + (3 + 257));
}

}  // namespace
