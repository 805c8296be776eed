// The entries read from a file fed in pieces of any size are those the walk reads
// from the whole file: pieces end inside lines and inside "\r\n".
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/DefinitionMatchers.h"
#include "definitions/ProfileText.h"
#include "definitions/Scrambling.h"

namespace {

std::string Key(const char* szName, const char* szValue) {
  return ScrambleString(szName) + "=" + ScrambleString(szValue);
}

// Numbers out of order, a repeated key (the first wins), a name in other letter
// case, a number with a leading zero, a value cut at 260 characters, quotes, blanks,
// a second section of the same name, and a key without a value ending the walk.
std::string TrickyFile() {
  const std::string strLong(300, 'x');
  std::string str = "[" + ScrambleString("HostLink") + "]\r\n";
  str += Key("HLINK2", "two.example") + "\r\n";
  str += " \t" + Key("HLINK1", "one.example") + " \r\n";
  str += Key("HLINK1", "again.example") + "\n";
  str += Key("HLINK03", "zero.example") + "\r";
  str += Key("HLINK3", strLong.c_str()) + "\r\n\r\n";
  str += "[" + ScrambleString("Link") + "]\n";
  str += Key("CLINK1", "called.example") + "\n";
  str += Key("VLINK2", "shown two") + "\n";
  str += ScrambleString("CLINK2") + "=\"" + ScrambleString("quoted") + "\"\r\n";
  str += ScrambleString("VLINK1") + "\r\n";
  str += Key("VLINK1", "not first") + "\r\n";
  str += "[" + ScrambleString("HostLink") + "]\r\n";
  str += Key("HLINK4", "second.section") + "\r\n";
  str += "[" + ScrambleString("HostIP") + "]\r\n";
  str += Key("IP1", "10.0.0.1") + "\r\n";
  str += Key("IP2", strLong.c_str()) + "\r\n";
  str += ScrambleString("IP3") + "\r\n" + Key("IP4", "10.0.0.4");
  // The case-swapped form of a stored key name is the same name.
  std::string strUpper = ScrambleString("CLINK3");
  for (char& c : strUpper) c = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
  str += "\r\n[" + ScrambleString("Link") + "]\r\n" + strUpper + "=" + ScrambleString("later.section");  // no line end
  return str;
}

constexpr EDefinitionList kWalked[] = {EDefinitionList::HostLink, EDefinitionList::CalledLink, EDefinitionList::HostIP};

std::vector<std::string> Walked(const CProfileText& text, EDefinitionList list) {
  std::vector<std::string> entries;
  char szEntry[kValueSize];
  for (int n = 1; ReadNumberedEntry(text, list, n, szEntry, sizeof(szEntry)); ++n) entries.push_back(szEntry);
  return entries;
}

class ProfileEntryStreamTest : public testing::TestWithParam<std::size_t> {};

TEST_P(ProfileEntryStreamTest, PiecesReadAsTheWholeFile) {
  const std::string strFile = TrickyFile();
  CProfileText text;
  ASSERT_TRUE(text.Parse(strFile));
  unsigned nWalked = 0;
  for (EDefinitionList list : kWalked) nWalked |= CProfileText::ListBit(list);
  std::vector<std::string> streamed[kDefinitionListCount];
  CProfileEntryStream stream(
      nWalked, CProfileText::ListBit(EDefinitionList::VisibleLink),
      [&](EDefinitionList list, char* szEntry) { streamed[static_cast<int>(list)].push_back(szEntry); });
  for (std::size_t nAt = 0; nAt < strFile.size(); nAt += GetParam()) stream.Feed(strFile.substr(nAt, GetParam()));
  ASSERT_TRUE(stream.Finish());

  for (EDefinitionList list : kWalked) {
    EXPECT_EQ(streamed[static_cast<int>(list)], Walked(text, list)) << "list " << static_cast<int>(list);
  }
  // The file is as tricky as meant.
  EXPECT_EQ(Walked(text, EDefinitionList::HostLink).size(), 3u);
  EXPECT_EQ(Walked(text, EDefinitionList::HostIP).size(), 2u);
  for (int n = 1; n <= 3; ++n) {
    char szWalked[kValueSize], szStreamed[kValueSize];
    const bool bWalked = ReadNumberedEntry(text, EDefinitionList::VisibleLink, n, szWalked, sizeof(szWalked));
    EXPECT_EQ(stream.ReadKept(EDefinitionList::VisibleLink, n, szStreamed), bWalked) << "shown link " << n;
    if (bWalked) EXPECT_STREQ(szStreamed, szWalked) << "shown link " << n;
  }
}

INSTANTIATE_TEST_SUITE_P(PieceSizes, ProfileEntryStreamTest, testing::Values(1, 2, 3, 7, 64, 1 << 20));

TEST(ProfileEntryStream, ByteOrderMarkInPiecesIsAnotherEncoding) {
  CProfileEntryStream stream(CProfileText::ListBit(EDefinitionList::HostIP), 0, [](EDefinitionList, char*) {});
  stream.Feed("\xEF");
  stream.Feed("\xBB");
  stream.Feed("\xBF[x]\r\n");
  EXPECT_FALSE(stream.Finish());
}

}  // namespace
