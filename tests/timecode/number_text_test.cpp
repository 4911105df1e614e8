#include "number_text.h"

#include <gtest/gtest.h>

namespace timecode {
namespace {

TEST(NumberText, ShortFormHasSignBlankAndNoLeadingZero) {
  EXPECT_EQ(NumberText(3), " 3");
  EXPECT_EQ(NumberText(2.5), " 2.5");
  EXPECT_EQ(NumberText(0.5), " .5");
  EXPECT_EQ(NumberText(-0.5), "-.5");
  EXPECT_EQ(NumberText(-1), "-1");
  EXPECT_EQ(NumberText(100), " 100");
  EXPECT_EQ(NumberText(0), " 0");
  EXPECT_EQ(NumberText(-0.0), " 0");
  EXPECT_EQ(NumberText(72.2), " 72.2");
}

TEST(NumberText, PrecisionIsSevenOrFifteenDigits) {
  EXPECT_EQ(NumberText(0.1, NumberPrecision::Single), " .1");  // not .100000001
  EXPECT_EQ(NumberText(1.0 / 3, NumberPrecision::Single), " .3333333");
  EXPECT_EQ(NumberText(1.0 / 3), " .333333333333333");
  EXPECT_EQ(NumberText(3596.4036), " 3596.4036");
  EXPECT_EQ(NumberText(1e15), " 1E+15");
  EXPECT_EQ(NumberText(123456789012345.0), " 123456789012345");
}

}  // namespace
}  // namespace timecode
