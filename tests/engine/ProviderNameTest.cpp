// The socket catalogue name comparison of the provider check.
#include "engine/ProviderName.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct SEntry {
  char16_t wsz[256] = {};
  explicit SEntry(const std::u16string& str) {
    for (std::size_t i = 0; i < str.size() && i < 256; ++i) wsz[i] = str[i];
  }
};

TEST(ProviderName, LetterCaseOfAToZDoesNotMatter) {
  EXPECT_TRUE(IsSameProviderName(SEntry(u"LUREWIPE_LSP").wsz, 256, "Lurewipe_lsp"));
  EXPECT_TRUE(IsSameProviderName(SEntry(u"lurewipe_lsp").wsz, 256, "LUREWIPE_LSP"));
  EXPECT_FALSE(IsSameProviderName(SEntry(u"Lurewipe_lsp2").wsz, 256, "Lurewipe_lsp"));
  EXPECT_FALSE(IsSameProviderName(SEntry(u"Lurewipe").wsz, 256, "Lurewipe_lsp"));
  EXPECT_FALSE(IsSameProviderName(SEntry(u"").wsz, 256, "Lurewipe_lsp"));
  // Only A to Z fold: a Latin-1 capital and its small letter differ.
  EXPECT_FALSE(IsSameProviderName(SEntry(u"\u00C4").wsz, 256, "\xE4"));
}

TEST(ProviderName, OnlyTheLowByteOfEachCharacterCounts) {
  // U+014C has the low byte 0x4C ('L').
  EXPECT_TRUE(IsSameProviderName(SEntry(u"\u014Curewipe_lsp").wsz, 256, "Lurewipe_lsp"));
  // A character whose low byte is 0 ends the name there.
  EXPECT_TRUE(IsSameProviderName(SEntry(u"Lure\u0100wipe").wsz, 256, "Lure"));
  EXPECT_FALSE(IsSameProviderName(SEntry(u"Lure\u0100wipe").wsz, 256, "Lurewipe"));
}

TEST(ProviderName, EntryIsCutAfter255Characters) {
  const std::string strName(255, 'a');
  SEntry longEntry(std::u16string(256, u'a'));  // no terminator inside the record
  EXPECT_TRUE(IsSameProviderName(longEntry.wsz, 256, strName.c_str()));
  EXPECT_FALSE(IsSameProviderName(longEntry.wsz, 256, (strName + "a").c_str()));
  SEntry exact(std::u16string(254, u'a'));
  EXPECT_FALSE(IsSameProviderName(exact.wsz, 256, strName.c_str()));
}

}  // namespace
