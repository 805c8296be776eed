// The definitions tool: the plain list, the entries it refuses, and the working
// and shipped files it writes.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "definitions/BlowfishCipher.h"
#include "definitions/Scrambling.h"
#include "standins/defstool/DefinitionsList.h"
#include "standins/defstool/ReadBackCheck.h"
#include "standins/defstool/ShippedDefinitions.h"
#include "standins/defstool/Vocabulary.h"

namespace {

std::string Bytes(std::initializer_list<int> values) {
  std::string str;
  for (int v : values) str += static_cast<char>(v);
  return str;
}

std::string ParseError(const std::string& strText) {
  const CResultOf<DefinitionsList> list = ParsePlainDefinitions(strText);
  EXPECT_FALSE(list.IsOk()) << strText;
  return list.Result().Text();
}

DefinitionsList Parsed(const std::string& strText) {
  const CResultOf<DefinitionsList> list = ParsePlainDefinitions(strText);
  EXPECT_TRUE(list.IsOk()) << list.Result().Text();
  return list.Value();
}

TEST(PlainDefinitions, SectionsEntriesCommentsAndBlanks) {
  const DefinitionsList list = Parsed(
      "; comment\r\n# also\n\n[ HostIP ]\r\n IP1 = 192.0.2.1 \r\nIP2=a=b;c\n"
      "[From]\nFROM1=x@example.com\n[hostip]\nIP3=203.0.113.9");
  ASSERT_EQ(2u, list.size());
  EXPECT_EQ("HostIP", list[0].strName);
  EXPECT_EQ(4, list[0].nLine);
  ASSERT_EQ(3u, list[0].entries.size());  // the repeated section is continued
  EXPECT_EQ("IP1", list[0].entries[0].strKey);
  EXPECT_EQ("192.0.2.1", list[0].entries[0].strValue);
  EXPECT_EQ("a=b;c", list[0].entries[1].strValue);
  EXPECT_EQ("203.0.113.9", list[0].entries[2].strValue);
  EXPECT_EQ(10, list[0].entries[2].nLine);
  EXPECT_EQ("x@example.com", list[1].entries[0].strValue);
}

TEST(PlainDefinitions, MalformedLinesAreNamed) {
  EXPECT_EQ("line 2: entry before the first section", ParseError(";\nIP1=x\n"));
  EXPECT_EQ("line 2: expected \"[Section]\" or \"key=value\"", ParseError("[HostIP]\nIP1\n"));
  EXPECT_EQ("line 1: section name without closing \"]\"", ParseError("[HostIP\n"));
  EXPECT_EQ("line 1: empty section name", ParseError("[ ]\n"));
  EXPECT_EQ("line 2: empty key in section \"Text\"", ParseError("[Text]\n=x\n"));
  EXPECT_EQ("line 3: key \"txt1\" given twice in section \"Text\" (first on line 2)",
            ParseError("[Text]\nTXT1=a\ntxt1=b\n"));
}

TEST(ReadBackCheck, PrintableTextIsAccepted) {
  std::string strAll;
  for (int c = 0x21; c < 0x7F; ++c) strAll += static_cast<char>(c);
  EXPECT_EQ("", FindReadBackFault(strAll, EDefinitionPart::Value));
  EXPECT_EQ("", FindReadBackFault("", EDefinitionPart::Value));
  EXPECT_EQ("", FindReadBackFault(std::string(260, 'a'), EDefinitionPart::Value));
}

TEST(ReadBackCheck, EachFaultIsNamedWithItsPosition) {
  // Key "6318527": position 0 adds 0x36, position 1 adds 0x33.
  EXPECT_EQ("character 2 (0x00) is a zero byte, which ends the text",
            FindReadBackFault(Bytes({'a', 0}), EDefinitionPart::Value));
  EXPECT_EQ("character 1 (0xCA) sums with its key byte to 0 and is dropped",
            FindReadBackFault(Bytes({0xCA}), EDefinitionPart::Value));
  EXPECT_EQ("character 1 (0x85) scrambles to 0xBB, which reads back as \";\"",
            FindReadBackFault(Bytes({0x85}), EDefinitionPart::Key));
  EXPECT_EQ("character 2 (0x8A) scrambles to 0xBD, which reads back as \"=\"",
            FindReadBackFault(Bytes({'a', 0x8A}), EDefinitionPart::Value));
  EXPECT_EQ("character 1 (0xD7) scrambles to a carriage return, which splits the line",
            FindReadBackFault(Bytes({0xD7}), EDefinitionPart::Value));
  EXPECT_EQ("character 2 (0xD7) scrambles to a line feed, which splits the line",
            FindReadBackFault(Bytes({'a', 0xD7}), EDefinitionPart::Section));
  EXPECT_EQ("character 1 (0x27) scrambles to \"]\", which ends the section name",
            FindReadBackFault("'a", EDefinitionPart::Section));
  EXPECT_EQ("", FindReadBackFault("'a", EDefinitionPart::Value));
  EXPECT_EQ("character 1 (0x25) scrambles to \"[\", which starts a section",
            FindReadBackFault("%a", EDefinitionPart::Key));
  EXPECT_EQ("", FindReadBackFault("a%", EDefinitionPart::Key));
  EXPECT_EQ("character 1 (0xEA) scrambles to a blank, which the reader trims",
            FindReadBackFault(Bytes({0xEA, 'a'}), EDefinitionPart::Value));
  EXPECT_EQ("character 2 (0xED) scrambles to a blank, which the reader trims",
            FindReadBackFault(Bytes({'a', 0xED}), EDefinitionPart::Key));
  EXPECT_EQ("", FindReadBackFault(Bytes({'a', 0xED, 'a'}), EDefinitionPart::Value));  // inside is fine
  EXPECT_EQ("character 1 (0xEC) and character 2 (0xEF) scramble to quotes, which the reader removes",
            FindReadBackFault(Bytes({0xEC, 0xEF}), EDefinitionPart::Value));
  EXPECT_EQ("", FindReadBackFault(Bytes({0xEC}), EDefinitionPart::Value));  // a lone quote stays
  EXPECT_EQ("longer than 260 characters, the reader cuts it",
            FindReadBackFault(std::string(261, 'a'), EDefinitionPart::Value));
  EXPECT_EQ("empty name", FindReadBackFault("", EDefinitionPart::Key));
}

TEST(ReadBackCheck, ListFaultsNameLineSectionAndKey) {
  const DefinitionsList list = Parsed("[HostIP]\nIP1=" + std::string(100, '1') + "\nIP2=" + std::string(99, '1') +
                                      "\n[Text]\nA=x\n!=y\nTXT1=a" + Bytes({0xD7}) + "\n['x]\n");
  const auto faults = FindReadBackFaults(list);
  ASSERT_EQ(4u, faults.size());
  EXPECT_EQ("line 2: section \"HostIP\", key \"IP1\": value longer than 99 characters, the reader cuts it", faults[0]);
  // "A" and "!" scramble to "w" and "W", one key for the case-blind reader.
  EXPECT_EQ("line 6: section \"Text\", key \"!\": key scrambles to the key of an earlier entry", faults[1]);
  EXPECT_EQ(
      "line 7: section \"Text\", key \"TXT1\": value character 2 (0xD7) scrambles to a line feed, which "
      "splits the line",
      faults[2]);
  EXPECT_EQ(
      "line 8: section \"'x\": section name character 1 (0x27) scrambles to \"]\", which ends the section "
      "name",
      faults[3]);
}

TEST(UnusedEntries, EntriesNoMatcherReachesAreNamed) {
  const DefinitionsList list = Parsed(
      "[HostIP]\nIP1=a\nIP2=\nIP3=c\nip4=d\nIP05=e\n"
      "[Link]\nCLINK1=x\nVLINK1=y\nVLINK3=z\n"
      "[Hosts]\nIP1=a\n"
      "[Text]\nTXT2=b\n");
  const std::vector<std::string> expected = {
      "line 4: section \"HostIP\", key \"IP3\" is never reached: the list ends at IP2 (empty value)",
      "line 5: section \"HostIP\", key \"ip4\" is never looked up: the matchers read IP1, IP2, ...",
      "line 6: section \"HostIP\", key \"IP05\" is never looked up: the matchers read IP1, IP2, ...",
      "line 10: section \"Link\", key \"VLINK3\" is never reached: the list ends at VLINK2 (missing)",
      "line 11: section \"Hosts\" is not read by any matcher",
      "line 14: section \"Text\", key \"TXT2\" is never reached: the list ends at TXT1 (missing)",
  };
  EXPECT_EQ(expected, FindUnusedEntries(list));

  EXPECT_TRUE(FindUnusedEntries(Parsed("[Link]\nCLINK1=a\nVLINK1=b\nCLINK2=null\n[From]\nFROM1=x\n")).empty());
}

TEST(WorkingDefinitions, EveryNameAndValueIsScrambledOnItsOwnLine) {
  const DefinitionsList list = Parsed("[Subject]\nSUB1=urgent; act now\nSUB2=\n[From]\nFROM1=a=b\n");
  const std::string strExpected = "[" + ScrambleString("Subject") + "]\r\n" + ScrambleString("SUB1") + "=" +
                                  ScrambleString("urgent; act now") + "\r\n" + ScrambleString("SUB2") + "=\r\n\r\n[" +
                                  ScrambleString("From") + "]\r\n" + ScrambleString("FROM1") + "=" +
                                  ScrambleString("a=b") + "\r\n\r\n";
  EXPECT_EQ(strExpected, WriteWorkingDefinitions(list));
}

TEST(ShippedDefinitions, DecryptedWholeGivesNoiseThenTheWorkingText) {
  const std::string strWorking = "[abc]\r\nkey=value\r\n";  // 18 bytes, padded to 24
  const CResultOf<std::string> shipped = WriteShippedDefinitions(strWorking, "12/01/2026");
  ASSERT_TRUE(shipped.IsOk()) << shipped.Result().Text();
  const std::string& strFile = shipped.Value();
  ASSERT_EQ(40u, strFile.size());
  EXPECT_EQ("12/01/2026    \r\n", strFile.substr(0, 16));  // the plain header line

  BlowfishCipher cipher;
  const unsigned char chain[8] = {};
  cipher.SetKey(reinterpret_cast<const unsigned char*>(kDefinitionsPassPhrase), 8, chain);
  std::string strPlain(strFile.size(), '\0');
  cipher.Decrypt(reinterpret_cast<const unsigned char*>(strFile.data()), reinterpret_cast<unsigned char*>(&strPlain[0]),
                 strFile.size(), BlowfishCipher::MODE_ECB);
  EXPECT_NE(strFile.substr(0, 14), strPlain.substr(0, 14));  // the header block turns into noise
  strPlain[14] = '\r';
  strPlain[15] = '\n';
  EXPECT_EQ("\r\n" + strWorking + "      ", strPlain.substr(14));
}

TEST(ShippedDefinitions, MalformedVersionOrEmptyTextIsRefused) {
  for (const char* szVersion :
       {"1/12/2026", "12-01-2026", "12/01/26", "12/01/2026 ", "ab/cd/efgh", "", "12/01/2026.", "12/01/2026.1000"}) {
    const CResultOf<std::string> shipped = WriteShippedDefinitions("[a]\r\n", szVersion);
    EXPECT_FALSE(shipped.IsOk()) << szVersion;
    EXPECT_EQ(
        "version \"" + std::string(szVersion) + "\" is not of the form MM/DD/YYYY or MM/DD/YYYY.N (N: 1 to 3 digits)",
        shipped.Result().Text());
  }
  const CResultOf<std::string> empty = WriteShippedDefinitions("", "12/01/2026");
  EXPECT_FALSE(empty.IsOk());
  EXPECT_EQ("no definitions to write", empty.Result().Text());
}

TEST(ShippedDefinitions, VersionWhoseHeaderDecryptsToAByteOrderMarkIsRefused) {
  BlowfishCipher cipher;
  const unsigned char chain[8] = {};
  cipher.SetKey(reinterpret_cast<const unsigned char*>(kDefinitionsPassPhrase), 8, chain);
  // The first header block, "MM/DD/YY", decides the first noise bytes: find the
  // first version whose noise starts with a byte-order mark.
  char szVersion[16] = {};
  bool bFound = false;
  for (int n = 0; n < 1000000 && !bFound; ++n) {
    std::snprintf(szVersion, sizeof szVersion, "%02d/%02d/%02d00", n % 100, n / 100 % 100, n / 10000);
    unsigned char noise[8];
    cipher.Decrypt(reinterpret_cast<const unsigned char*>(szVersion), noise, 8, BlowfishCipher::MODE_ECB);
    bFound = (noise[0] == 0xFF && noise[1] == 0xFE) || (noise[0] == 0xFE && noise[1] == 0xFF) ||
             (noise[0] == 0xEF && noise[1] == 0xBB && noise[2] == 0xBF);
  }
  ASSERT_TRUE(bFound);
  const CResultOf<std::string> shipped = WriteShippedDefinitions("[a]\r\n", szVersion);
  EXPECT_FALSE(shipped.IsOk()) << szVersion;
  EXPECT_EQ("version \"" + std::string(szVersion) + "\" decrypts to a byte-order mark; choose another date",
            shipped.Result().Text());
  std::string strFile = "untouched";
  // The reason travels with the result, to the updater too; the caller's text stays.
  EXPECT_EQ("the version's header line decrypts to a byte-order mark",
            EncryptShippedDefinitions("[a]\r\n", szVersion, strFile).Text());
  EXPECT_EQ("untouched", strFile);
}

}  // namespace
