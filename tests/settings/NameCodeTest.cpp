// The name code: coding of names into decimal digits and back.
#include <gtest/gtest.h>

#include <string>

#include "console/settings/NameCode.h"
#include "console/settings/PseudoRandom.h"

namespace {

TEST(NameCode, EncodesUpperCasedBytesAsDecimalCodes) {
  EXPECT_EQ("6566", EncodeNameCode("AB"));
  EXPECT_EQ("656667", EncodeNameCode("abc"));
  EXPECT_EQ("7665787185657169", EncodeNameCode("LANGUAGE"));
  EXPECT_EQ("69787176738372", EncodeNameCode("English"));
  // Lower-case letters from code 100 on are upper-cased first, so two digits each.
  EXPECT_EQ("688890", EncodeNameCode("dxz"));
  EXPECT_EQ("", EncodeNameCode(""));
  EXPECT_EQ("", EncodeNameCode(nullptr));
}

TEST(NameCode, WritesControlAndHighBytesAsTheyCome) {
  // Codes below 10 take one digit; bytes from 128 on are negative signed bytes.
  EXPECT_EQ("65966", EncodeNameCode("A\tB"));
  EXPECT_EQ("-23", EncodeNameCode("\xE9"));
  EXPECT_EQ("123", EncodeNameCode("{"));
}

TEST(NameCode, DecodesTwoDigitsAtATimeAndALastSingleDigit) {
  EXPECT_EQ("AB", DecodeNameCode("6566"));
  EXPECT_EQ("ENGLISH", DecodeNameCode("69787176738372"));
  EXPECT_EQ(std::string("AB\x07"), DecodeNameCode("65667"));
  EXPECT_EQ("", DecodeNameCode(""));
  EXPECT_EQ("", DecodeNameCode(nullptr));
}

TEST(NameCode, DecodesLeadingDigitsAndDropsPiecesWithoutThem) {
  EXPECT_EQ(std::string("\x05"), DecodeNameCode("5x"));
  // "x5" and "00" have no value: nothing is appended, no zero byte enters the text.
  EXPECT_EQ("AB", DecodeNameCode("65x566"));
  EXPECT_EQ("AB", DecodeNameCode("650066"));
  EXPECT_EQ("A", DecodeNameCode("65-2"));
}

TEST(NameCode, RoundTripsEveryCharacterWithATwoDigitCode) {
  std::string strText;
  for (int c = 10; c <= 99; ++c) strText += static_cast<char>(c);
  strText += "abcdefghijklmnopqrstuvwxyz";
  std::string strUpper = strText;
  for (char& c : strUpper)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  EXPECT_EQ(strUpper, DecodeNameCode(EncodeNameCode(strText.c_str()).c_str()));
}

TEST(NameCode, CharactersOutsideTwoDigitCodesDoNotSurvive) {
  EXPECT_NE("A\tB", DecodeNameCode(EncodeNameCode("A\tB").c_str()));
  EXPECT_NE("{", DecodeNameCode(EncodeNameCode("{").c_str()));
  EXPECT_NE("\xE9", DecodeNameCode(EncodeNameCode("\xE9").c_str()));
}

TEST(PseudoRandom, FollowsTheRuntimeGenerator) {
  // The C runtime's well-known first values for seed 1.
  CPseudoRandom random(1);
  EXPECT_EQ(41, random.Next());
  EXPECT_EQ(18467, random.Next());
  EXPECT_EQ(6334, random.Next());
  random.Seed(1);
  EXPECT_EQ(41, random.Next());
  // Values stay within 0 to 32767 through many draws.
  for (int i = 0; i < 100000; ++i) {
    const int n = random.Next();
    ASSERT_GE(n, 0);
    ASSERT_LE(n, 32767);
  }
}

TEST(PseudoRandom, NamesTheSeededFolders) {
  EXPECT_EQ("64\\28170", SeededFolderNames(kLanguageFolderSeed));
  EXPECT_EQ("71\\16899", SeededFolderNames(kHelpFolderSeed));
  EXPECT_EQ("74\\27648", SeededFolderNames(kScreenFolderSeed));
}

}  // namespace
