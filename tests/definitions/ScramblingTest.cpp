// The character scrambling of the working definitions file.
#include <gtest/gtest.h>

#include <string>

#include "definitions/Scrambling.h"

namespace {

std::string Bytes(std::initializer_list<int> values) {
  std::string str;
  for (int v : values) str += static_cast<char>(v);
  return str;
}

TEST(Scrambling, EscapeTouchesOnlySemicolonAndEquals) {
  EXPECT_EQ(Bytes({0xBB}), EncodeByte(0x3B));
  EXPECT_EQ(Bytes({0xBD}), EncodeByte(0x3D));
  for (int c = 0; c < 256; ++c) {
    if (c == 0x3B || c == 0x3D) continue;
    EXPECT_EQ(Bytes({c}), EncodeByte(static_cast<unsigned char>(c))) << c;
  }
  EXPECT_EQ(0x3B, DecodeByte(Bytes({0xBB})));
  EXPECT_EQ(0x3D, DecodeByte(Bytes({0xBD, 'x', 'y'})));  // only the first character counts
  EXPECT_EQ(0x3B, DecodeByte(";"));
  EXPECT_EQ(0xFF, DecodeByte(Bytes({0xFF})));
  EXPECT_EQ(0, DecodeByte(""));
}

TEST(Scrambling, PrintableTextRoundTripsAtEveryKeyPosition) {
  std::string strPlain;
  for (int nRepeat = 0; nRepeat < 8; ++nRepeat) {
    for (int c = 0x20; c < 0x7F; ++c) strPlain += static_cast<char>(c);
  }
  const std::string strScrambled = ScrambleString(strPlain);
  EXPECT_EQ(strPlain.size(), strScrambled.size());
  EXPECT_EQ(std::string::npos, strScrambled.find_first_of(";="));
  EXPECT_EQ(strPlain, UnscrambleString(strScrambled));
}

TEST(Scrambling, SumsOnTheEscapedCharacters) {
  // Key "6318527": position 0 adds 0x36, position 1 adds 0x33.
  EXPECT_EQ(Bytes({0xBB, 0xBD}), ScrambleString(Bytes({0x05, 0x0A})));
  EXPECT_EQ(Bytes({0x05, 0x0A}), UnscrambleString(Bytes({0xBB, 0xBD})));
  // A sum of 0xBB or 0xBD by itself reads back as if it had been 0x3B or 0x3D.
  const std::string strPlain = Bytes({0x85, 0x8A});
  EXPECT_EQ(Bytes({0xBB, 0xBD}), ScrambleString(strPlain));
  EXPECT_EQ(Bytes({0x05, 0x0A}), UnscrambleString(ScrambleString(strPlain)));
}

TEST(Scrambling, ZeroSumIsDroppedAndLaterBytesShift) {
  const std::string strPlain = Bytes({0xCA, 'A', 'B'});  // 0xCA + 0x36 = 0x100
  const std::string strScrambled = ScrambleString(strPlain);
  ASSERT_EQ(2u, strScrambled.size());
  EXPECT_EQ(Bytes({'A' + 0x33, 'B' + 0x31}), strScrambled);
  // Unscrambling takes the key from position 0 again.
  EXPECT_EQ(Bytes({'A' + 0x33 - 0x36, 'B' + 0x31 - 0x33}), UnscrambleString(strScrambled));
}

TEST(Scrambling, KeyIsUsedCyclically) {
  const std::string strScrambled = ScrambleString(std::string(15, 'A'));
  ASSERT_EQ(15u, strScrambled.size());
  EXPECT_EQ(strScrambled.substr(0, 7), strScrambled.substr(7, 7));
  EXPECT_EQ(strScrambled[0], strScrambled[14]);
  EXPECT_EQ("wtryvsx", strScrambled.substr(0, 7));  // 'A' plus each digit of the key
}

TEST(Scrambling, UnscramblingKeepsZeroBytesAndAllValues) {
  EXPECT_EQ(Bytes({0, 0}), UnscrambleString("63"));
  std::string strAll;
  for (int c = 0; c < 256; ++c) strAll += static_cast<char>(c);
  const std::string strPlain = UnscrambleString(strAll);
  ASSERT_EQ(256u, strPlain.size());
  // Position 187 holds 0xBB, which decodes to 0x3B, and uses key byte 5, "2".
  EXPECT_EQ(static_cast<char>(0x3B - 0x32), strPlain[0xBB]);
  EXPECT_TRUE(ScrambleString("").empty());
  EXPECT_TRUE(UnscrambleString("").empty());
}

}  // namespace
