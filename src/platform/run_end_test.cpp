#include "platform/run_end.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "test_support.h"

namespace platform {
namespace {

TEST(RunEnd, AFailureAndADeliberateEndAreToldApart) {
  EXPECT_EQ(test::runtimeErrorOf([] { runtimeError(101); }), 101);
  EXPECT_EQ(test::endCodeOf([] {}), 0);
  EXPECT_EQ(test::endCodeOf([] { runtimeError(5); }), -1);
  EXPECT_EQ(test::runtimeErrorOf([] {}), -1);
}

TEST(RunEndDeathTest, TheReportIsOneLineOnStderr) {
  EXPECT_EXIT(
      {
        reportRuntimeError(2147483647);
        std::exit(0);
      },
      ::testing::ExitedWithCode(0), "^Runtime error 2147483647\n$");
}

}  // namespace
}  // namespace platform
