#include "base/number.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

TEST(ConvertNumber, AcceptedForms) {
  struct Case {
    const char* text;
    std::int32_t value;
  } cases[] = {{"0", 0},          {"42", 42},         {"   42", 42},        {"+7", 7},
               {"-7", -7},        {"  -0", 0},        {"$100", 256},        {"$fF", 255},
               {"-$10", -16},     {"+$7FFFFFFF", INT32_MAX},                {"007", 7},
               {"2147483647", INT32_MAX},           {"-2147483648", INT32_MIN},
               {"-$80000000", INT32_MIN},           {"00000000000000000012", 12}};
  for (const Case& c : cases) {
    std::int32_t value = 99;
    EXPECT_TRUE(convertNumber(c.text, value)) << c.text;
    EXPECT_EQ(value, c.value) << c.text;
  }
}

TEST(ConvertNumber, Rejected) {
  for (const char* text : {"", "   ", "-", "+", "$", "-$", "12 ", "1 2", "\t5", "+-5", "5-", "abc",
                           "$G", "1A", "2147483648", "-2147483649", "$80000000", "99999999999999999999",
                           "$100000000", "1.5", "--1"}) {
    std::int32_t value = 99;
    EXPECT_FALSE(convertNumber(text, value)) << text;
    EXPECT_EQ(value, 0) << text;
  }
  // Only the text itself counts, not what follows it in memory.
  std::int32_t value = 99;
  EXPECT_FALSE(convertNumber(std::string_view("  -1", 2), value));
  EXPECT_FALSE(convertNumber(std::string_view("-$1", 1), value));
}

}  // namespace
