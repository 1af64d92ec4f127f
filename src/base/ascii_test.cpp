#include "base/ascii.h"

#include <gtest/gtest.h>

namespace {

TEST(Ascii, OnlyTheLettersAToZChangeCase) {
  EXPECT_EQ(ascii::upper('a'), 'A');
  EXPECT_EQ(ascii::upper('z'), 'Z');
  EXPECT_EQ(ascii::lower('Q'), 'q');
  for (char c : {'@', '[', '`', '{', '1', '\x84', '\x8E'}) {  // neighbours of the letters, ä, Ä
    EXPECT_EQ(ascii::upper(c), c);
    EXPECT_EQ(ascii::lower(c), c);
    EXPECT_FALSE(ascii::isLetter(c));
  }
  EXPECT_TRUE(ascii::sameIgnoringCase("zorSetup_1", "ZORSETUP_1"));
  EXPECT_FALSE(ascii::sameIgnoringCase("PATH", "PAT"));
  EXPECT_FALSE(ascii::sameIgnoringCase("\x84", "\x8E"));
}

}  // namespace
