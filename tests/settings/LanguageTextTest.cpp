// Keys, section names and value decoding of the language files.
#include <gtest/gtest.h>

#include "console/settings/LanguageText.h"

namespace {

TEST(LanguageKeys, RotateNumbersLeftByEightBits) {
  EXPECT_EQ("1795584", RotatedNumberKey(7014));
  EXPECT_EQ("8389376", RotatedNumberKey(32771));
  EXPECT_EQ("25856", RotatedNumberKey(101));
  // The top byte comes round to the bottom.
  EXPECT_EQ("257", RotatedNumberKey(0x01000001u));
  EXPECT_EQ("4294967295", RotatedNumberKey(0xFFFFFFFFu));
  EXPECT_EQ("0", RotatedNumberKey(0));
}

TEST(LanguageKeys, TopLevelMenuKeyIsTextNumberAndPositionReversed) {
  EXPECT_EQ("081yarT", TopLevelMenuKey("Tray", 18, 0));
  EXPECT_EQ("21954321", TopLevelMenuKey("12345", 9, 12));
  EXPECT_EQ("uneMyarTndwkooH", ReverseText(kTrayMenuSectionName));
  EXPECT_EQ("strelAndwkooH", ReverseText(kAlertsSectionName));
  EXPECT_EQ("", ReverseText(""));
}

TEST(LanguageValues, StarReversesTheRest) {
  EXPECT_EQ("Hello", ExpandLanguageValue("*olleH"));
  EXPECT_EQ("", ExpandLanguageValue("*"));
  // Only a leading star counts.
  EXPECT_EQ("a*b", ExpandLanguageValue("a*b"));
  EXPECT_EQ("*x", ExpandLanguageValue("*x*"));
}

TEST(LanguageValues, BackslashSequencesBecomeLineFeedsAndTabs) {
  EXPECT_EQ("a\nb\tc", ExpandLanguageValue("a\\nb\\tc"));
  // Reversal comes first: "n\" written backwards is a line feed.
  EXPECT_EQ("hi\n", ExpandLanguageValue("*n\\ih"));
  EXPECT_EQ("a\\", ExpandLanguageValue("a\\"));
  EXPECT_EQ("\\x\n", ExpandLanguageValue("\\x\\n"));
  EXPECT_EQ("\\\n", ExpandLanguageValue("\\\\n"));
}

TEST(LanguageFiles, AreNamedByTheNameCodeOfTheLanguage) {
  EXPECT_EQ("716982776578.hwl", LanguageFileName("German"));
  EXPECT_EQ("69787176738372.hwl", LanguageFileName("ENGLISH"));
  EXPECT_EQ("ENGLISH", LanguageNameOfFile("69787176738372.hwl"));
  EXPECT_EQ("GERMAN", LanguageNameOfFile("716982776578.HWL"));
  EXPECT_EQ("", LanguageNameOfFile(".hwl"));
  EXPECT_EQ("", LanguageNameOfFile("69787176738372.hwlx"));
  EXPECT_EQ("", LanguageNameOfFile("6978.txt"));
}

}  // namespace
