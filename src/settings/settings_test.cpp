#include "settings/settings.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const std::string defaultLine =
    " -!- -BC -C+ -G+ -H+ -L+ -ICO+ -M+ -P- -S- -U+ -X3000 -Z0 %1 %2 %3 %4 %5 %6 %7 %8 %9";

Settings allFlags(Flag value) {
  Settings s;
  for (Flag* f : {&s.subdirs, &s.partitionTable, &s.bootSectors, &s.resourceTable, &s.gtDataDll,
                  &s.mouse, &s.flagBang, &s.verboseFormat, &s.icons, &s.hexNumbers, &s.cpuEmulator}) {
    *f = value;
  }
  return s;
}

TEST(OptionLine, Defaults) {
  EXPECT_EQ(formatOptionLine(Settings{}), defaultLine);
  EXPECT_EQ(formatOptionLine(Settings{}), defaultLine);
}

TEST(OptionLine, AllFlagsOnOrOff) {
  EXPECT_EQ(formatOptionLine(allFlags(1)),
            " -!+ -BC -C+ -G+ -H+ -L+ -ICO+ -M+ -P+ -R+ -S+ -U+ -X3000 -Z0 %1 %2 %3 %4 %5 %6 %7 %8 %9");
  EXPECT_EQ(formatOptionLine(allFlags(0)),
            " -!- -BC -C- -G- -H- -L- -ICO- -M- -P- -S- -U- -X3000 -Z0 %1 %2 %3 %4 %5 %6 %7 %8 %9");
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
  EXPECT_EQ(formatOptionLine(s),
            " -!- -BC -C+ -FC:\\ZOR\\blue.tab -G+ -H+ -L+ -ICO+ -M+ -Nc:\\bin\\unp -P- -S- -U+"
            " -X-5 -Z50 %1 %2 %3 %4 %5 %6 %7 %8 %9");
  s.memoryLimitKb = INT32_MIN;
  EXPECT_NE(formatOptionLine(s).find(" -X-2147483648 -Z50 "), std::string::npos);
}

// A name longer than 252 characters (only a launcher edited by hand has one) is written
// whole. How quoted names reach ZOR is shown through the command interpreter itself, in
// tests/e2e/test_wine.py.
TEST(OptionLine, LongNamesAreWrittenWhole) {
  Settings s;
  s.colourTableName = std::string(255, 'a');
  s.unpacker = std::string(254, 'b') + "&";
  EXPECT_EQ(formatOptionLine(s).size(), defaultLine.size() + (3 + 255) + (3 + 257));
}

}  // namespace
