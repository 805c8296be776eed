// The definitions version line at the start of a shipped file.
#include <gtest/gtest.h>

#include <string>

#include "definitions/DefinitionsVersion.h"

namespace {

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
