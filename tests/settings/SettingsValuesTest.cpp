// Reading registry value bytes and the definitions version line.
#include <gtest/gtest.h>

#include <string>

#include "definitions/DefinitionsVersion.h"
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

std::string Version(const std::string& strHeader) {
  return DefinitionsVersionOfHeader(strHeader.data(), strHeader.size());
}

TEST(DefinitionsVersion, DateLineWithTrailingSpacesIsValid) {
  EXPECT_EQ("12/08/2026", Version("12/08/2026    \r\n\x11\x22garbage"));
  EXPECT_EQ("01/02/03", Version("01/02/03\r\n"));
  // The second "/" is searched from index 3 on; what follows it is not checked.
  EXPECT_EQ("ab/cd/x y", Version("ab/cd/x y \r\n"));
}

TEST(DefinitionsVersion, OtherLinesGiveTheEmptyText) {
  EXPECT_EQ("", Version("2026/12/08    \r\n"));
  EXPECT_EQ("", Version("12/08/2026"));    // no line end
  EXPECT_EQ("", Version("12/08/2026\n"));  // line feed alone
  EXPECT_EQ("", Version("12-08/2026\r\n"));
  EXPECT_EQ("", Version("12/0/82026\r\n"));
  EXPECT_EQ("", Version("\r\n"));
  EXPECT_EQ("", Version(""));
  EXPECT_EQ("", DefinitionsVersionOfHeader(nullptr, 10));
  // A zero byte ends the header text before the line end.
  EXPECT_EQ("", Version(std::string("12/08/2026\0\r\n", 13)));
}

TEST(DefinitionsVersion, OnlyTheFirst256BytesCount) {
  // The line end in bytes 254 and 255 is inside, one byte later it is not.
  const std::string strFits = "12/08/" + std::string(248, 'x');
  EXPECT_EQ(strFits, Version(strFits + "\r\n"));
  EXPECT_EQ("", Version(strFits + "x\r\n"));
}

}  // namespace
