// Decimal texts as ports and command arguments hold them.
#include <gtest/gtest.h>

#include "console/settings/DecimalText.h"

namespace {

TEST(DecimalText, LeadingNumberWithSignAndLimits) {
  EXPECT_EQ(80, DecimalValue("80"));
  EXPECT_EQ(-1, DecimalValue("-1"));
  EXPECT_EQ(12, DecimalValue("  +12ab"));
  EXPECT_EQ(0, DecimalValue(""));
  EXPECT_EQ(0, DecimalValue("port"));
  EXPECT_EQ(0, DecimalValue("-"));
  EXPECT_EQ(0, DecimalValue(nullptr));
  EXPECT_EQ(2147483647, DecimalValue("99999999999999999999"));
  EXPECT_EQ(-2147483647 - 1, DecimalValue("-2147483648"));
  EXPECT_EQ(-2147483647 - 1, DecimalValue("-99999999999999999999"));
  // Only the given width is read.
  const char acUnterminated[3] = {'1', '2', '3'};
  EXPECT_EQ(123, DecimalValue(acUnterminated, sizeof(acUnterminated)));
  EXPECT_EQ(12, DecimalValue("1234", 2));
}

}  // namespace
