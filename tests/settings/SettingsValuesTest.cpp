// Reading registry value bytes.
#include <gtest/gtest.h>

#include <string>

#include "console/settings/store/RegistryValueData.h"

namespace {

TEST(ValueData, TextEndsAtTheFirstZeroOrTheLastByte) {
  const unsigned char data[] = {'a', 'b', 'c', 0, 'd'};
  EXPECT_EQ("abc", TextOfValueData(data, sizeof(data)));
  EXPECT_EQ("ab", TextOfValueData(data, 2));
  EXPECT_EQ("", TextOfValueData(data, 0));
}

TEST(ValueData, CopiedNumbersTakeAtMostFourBytesLowFirst) {
  const unsigned char data[] = {0x04, 0x03, 0x02, 0x01, 0x99, 0x98, 0x97, 0x96};
  EXPECT_EQ(0x01020304, CopiedValueData(data, sizeof(data), 0));
  EXPECT_EQ(0x01020304, CopiedValueData(data, 4, -1));
  // Fewer bytes replace only the low bytes of the field.
  EXPECT_EQ(0x04, CopiedValueData(data, 1, 0));
  EXPECT_EQ(static_cast<std::int32_t>(0x77770304), CopiedValueData(data, 2, 0x77777777));
  EXPECT_EQ(12345, CopiedValueData(data, 0, 12345));
  const unsigned char negative[] = {0xFB, 0xFF, 0xFF, 0xFF};
  EXPECT_EQ(-5, CopiedValueData(negative, 4, 0));
}

TEST(ValueData, FlagsKeepOnlyTheLowestByte) {
  const unsigned char onInHighByte[] = {0x00, 0x01, 0x00, 0x00};
  EXPECT_EQ(0, LowByteOfValueData(onInHighByte, 4, 1));
  const unsigned char large[] = {0xFF, 0xFF};
  EXPECT_EQ(255, LowByteOfValueData(large, 2, 0));
  EXPECT_EQ(1, LowByteOfValueData(large, 0, 1));
}

}  // namespace
