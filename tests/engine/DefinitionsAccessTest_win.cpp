// Scrambled lookups through the engine library's exports, in files written by the
// definitions tool and read by the system's own private-profile reader.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "definitions/DefinitionsLayout.h"
#include "engine/LSPGlobals.h"
#include "definitions/Scrambling.h"
#include "shared/OwnedResources_win.h"
#include "standins/defstool/DefinitionsList.h"
#include "standins/defstool/ReadBackCheck.h"
#include "support/TempFolder_win.h"

namespace {

class DefinitionsFile : public ::testing::Test {
 protected:
  void WriteRaw(const std::string& strData) {
    CFClose file(std::fopen(m_strPath.c_str(), "wb"));
    ASSERT_TRUE(file);
    ASSERT_EQ(strData.size(), std::fwrite(strData.data(), 1, strData.size(), file.Get()));
  }
  void WritePlainList(const std::string& strPlain) {
    const CResultOf<DefinitionsList> parsed = ParsePlainDefinitions(strPlain);
    ASSERT_TRUE(parsed.IsOk()) << parsed.Result().Text();
    const DefinitionsList& list = parsed.Value();
    ASSERT_TRUE(FindReadBackFaults(list).empty());
    WriteRaw(WriteWorkingDefinitions(list));
  }
  DWORD Lookup(const char* szSection, const char* szKey, std::string& strOut, DWORD dwSize = 261,
               const char* szDefault = "") {
    std::vector<char> buffer(dwSize + 1, '#');
    const DWORD dwCount =
        CLSPGlobals::GetEncPrivateProfileString(szSection, szKey, szDefault, buffer.data(), dwSize, m_strPath.c_str());
    EXPECT_EQ('#', buffer[dwSize]) << "written past the given size";
    strOut = buffer.data();
    return dwCount;
  }

  CTempFolder m_folder;
  std::string m_strPath = m_folder.Path() + "\\hkwdn2.hwd";
};

std::string Bytes(std::initializer_list<int> values) {
  std::string str;
  for (int v : values) str += static_cast<char>(v);
  return str;
}

TEST(DefinitionsScrambling, ExportsScrambleWithTheLibraryKey) {
  EXPECT_EQ(Bytes({0xBB}), CLSPGlobals::Encode(0x3B));
  EXPECT_EQ(0x3D, CLSPGlobals::Decode(Bytes({0xBD})));
  EXPECT_EQ("wtryvsxw", CLSPGlobals::EncryptString("AAAAAAAA"));
  EXPECT_EQ("AAAAAAAA", CLSPGlobals::DecryptString("wtryvsxw"));
  EXPECT_EQ(ScrambleString("HostIP"), CLSPGlobals::EncryptString(CLSPGlobals::szHostIPSec));
  EXPECT_STREQ("HostLink", CLSPGlobals::szHostLinkSec);
  EXPECT_STREQ("Link", CLSPGlobals::szUrlSec);
  EXPECT_STREQ("From", CLSPGlobals::szFromSec);
  EXPECT_STREQ("Subject", CLSPGlobals::szSubjectSec);
  EXPECT_STREQ("Text", CLSPGlobals::szTextSec);
}

TEST_F(DefinitionsFile, FoundValuesMissingAndEmptyEntries) {
  WritePlainList("[HostIP]\nIP1=192.0.2.10\nIP2=\n[Subject]\nSUB1=urgent; verify = now\n");
  std::string strOut;
  EXPECT_EQ(10u, Lookup("HostIP", "IP1", strOut));
  EXPECT_EQ("192.0.2.10", strOut);
  // Plain names are scrambled before the lookup, so their letter case matters.
  EXPECT_EQ(0u, Lookup("hostip", "ip1", strOut));
  EXPECT_EQ(20u, Lookup("Subject", "SUB1", strOut));
  EXPECT_EQ("urgent; verify = now", strOut);
  // A key with an empty value answers exactly as a missing one.
  EXPECT_EQ(0u, Lookup("HostIP", "IP2", strOut));
  EXPECT_EQ("", strOut);
  EXPECT_EQ(0u, Lookup("HostIP", "IP3", strOut));
  EXPECT_EQ("", strOut);
  EXPECT_EQ(0u, Lookup("Text", "TXT1", strOut));
  EXPECT_EQ("", strOut);
  // The plain name is not what is stored.
  char szPlain[16];
  EXPECT_EQ(0u, ::GetPrivateProfileStringA("HostIP", "IP1", "", szPlain, sizeof szPlain, m_strPath.c_str()));

  ::DeleteFileA(m_strPath.c_str());  // no file at all
  EXPECT_EQ(0u, Lookup("HostIP", "IP1", strOut));
  EXPECT_EQ("", strOut);
}

TEST_F(DefinitionsFile, JunkFirstLineIsIgnoredUnlessItStartsWithAByteOrderMark) {
  // The shipped header decrypts to 14 bytes of noise before the line end.
  const std::string strRest =
      "\r\n[" + ScrambleString("Text") + "]\r\n" + ScrambleString("TXT1") + "=" + ScrambleString("body") + "\r\n";
  for (const std::string& strJunk : {Bytes({0, 0, 0}), Bytes({'[', 0, ']', 0x1A, 0xFF}),
                                     Bytes({'a', '=', 0, '\r', '['}), Bytes({'x', 0, 0xFF, 0xFE})}) {
    WriteRaw(strJunk + strRest);
    std::string strOut;
    EXPECT_EQ(4u, Lookup("Text", "TXT1", strOut));
    EXPECT_EQ("body", strOut);
  }
  // A byte-order mark makes the reader take the whole file for another encoding,
  // which is why the tool refuses a version whose header decrypts to one.
  for (const std::string& strJunk :
       {Bytes({0xFF, 0xFE, 'x'}), Bytes({0xFE, 0xFF, 'x'}), Bytes({0xEF, 0xBB, 0xBF, 'x'})}) {
    WriteRaw(strJunk + strRest);
    std::string strOut;
    EXPECT_EQ(0u, Lookup("Text", "TXT1", strOut));
  }
}

TEST_F(DefinitionsFile, ValueIsCutAtAnUnscrambledZeroByte) {
  // "a", then the key's second byte, which unscrambles to 0, then "c".
  std::string strValue = ScrambleString("abc");
  strValue[1] = '3';
  WriteRaw("[" + ScrambleString("Text") + "]\r\n" + ScrambleString("TXT1") + "=" + strValue + "\r\n");
  std::string strOut;
  EXPECT_EQ(3u, Lookup("Text", "TXT1", strOut));  // the reader's count
  EXPECT_EQ("a", strOut);
}

TEST_F(DefinitionsFile, DefaultPassesThroughUnscrambling) {
  WritePlainList("[Text]\nTXT1=x\n");
  std::string strOut;
  EXPECT_EQ(3u, Lookup("Text", "TXT9", strOut, 261, "wtr"));
  EXPECT_EQ("AAA", strOut);
  EXPECT_EQ(1u, Lookup("Text", "TXT1", strOut, 261, "wtr"));
  EXPECT_EQ("x", strOut);
}

TEST_F(DefinitionsFile, OutputStaysInsideTheCallersSizeAndTheWorkingBuffer) {
  const std::string str260(260, 'q'), str300(300, 'r');
  WriteRaw("[" + ScrambleString("Link") + "]\r\n" + ScrambleString("CLINK1") + "=" + ScrambleString(str260) + "\r\n" +
           ScrambleString("CLINK2") + "=" + ScrambleString(str300) + "\r\n");
  std::string strOut;
  EXPECT_EQ(4u, Lookup("Link", "CLINK1", strOut, 5));
  EXPECT_EQ("qqqq", strOut);
  EXPECT_EQ(260u, Lookup("Link", "CLINK1", strOut, 261));
  EXPECT_EQ(str260, strOut);
  // A size above 261 still reads at most 260 characters.
  EXPECT_EQ(260u, Lookup("Link", "CLINK1", strOut, 4000));
  EXPECT_EQ(str260, strOut);
  EXPECT_EQ(260u, Lookup("Link", "CLINK2", strOut, 4000));
  EXPECT_EQ(str300.substr(0, 260), strOut);
  EXPECT_EQ(0u, Lookup("Link", "CLINK1", strOut, 1));
  EXPECT_EQ("", strOut);

  char szUntouched[4] = "abc";
  EXPECT_EQ(0u, CLSPGlobals::GetEncPrivateProfileString("Link", "CLINK1", "", szUntouched, 0, m_strPath.c_str()));
  EXPECT_STREQ("abc", szUntouched);
  EXPECT_EQ(0u, CLSPGlobals::GetEncPrivateProfileString(nullptr, "CLINK1", "", szUntouched, 4, m_strPath.c_str()));
  EXPECT_EQ(0u, CLSPGlobals::GetEncPrivateProfileString("Link", nullptr, "", szUntouched, 4, m_strPath.c_str()));
  EXPECT_EQ(0u, CLSPGlobals::GetEncPrivateProfileString("Link", "CLINK1", nullptr, szUntouched, 4, nullptr));
  EXPECT_EQ(0u, CLSPGlobals::GetEncPrivateProfileString("Link", "CLINK1", "", nullptr, 4, m_strPath.c_str()));
}

TEST_F(DefinitionsFile, SectionReadGivesTheStoredLines) {
  WritePlainList("[From]\nFROM1=a@example.com\nFROM2=b@example.net\n");
  char szLines[261];
  std::memset(szLines, '#', sizeof szLines);
  const std::string strSection = ScrambleString("From");
  const std::string strExpected = ScrambleString("FROM1") + "=" + ScrambleString("a@example.com") + '\0' +
                                  ScrambleString("FROM2") + "=" + ScrambleString("b@example.net") + '\0';
  EXPECT_EQ(strExpected.size(),
            CLSPGlobals::GetEncPrivateProfileSection(strSection.c_str(), szLines, sizeof szLines, m_strPath.c_str()));
  EXPECT_EQ(strExpected + '\0', std::string(szLines, strExpected.size() + 1));
  EXPECT_EQ(0u, CLSPGlobals::GetEncPrivateProfileSection("From", szLines, sizeof szLines, m_strPath.c_str()));
}

// Random entries: every one the tool accepts reads back unchanged through the
// system's reader.
std::string RandomText(std::mt19937& random, bool bName) {
  static const unsigned char kEdges[] = {0x00, 0x01, 0x09, 0x0A, 0x0D, 0x1A, 0x20, 0x22, 0x27, 0x3B, 0x3D, 0x5B,
                                         0x5D, 0x7F, 0x80, 0x81, 0x85, 0x8A, 0x8D, 0x9F, 0xA0, 0xBB, 0xBD, 0xC0,
                                         0xCA, 0xD4, 0xD7, 0xDF, 0xE0, 0xEA, 0xEC, 0xEF, 0xFE, 0xFF};
  const unsigned nKind = random() % 10;
  std::size_t nLength = bName ? 1 + random() % 12 : random() % 40;
  if (!bName && nKind >= 8) nLength = 200 + random() % 70;
  std::string str;
  for (std::size_t i = 0; i < nLength; ++i) {
    unsigned char c;
    if (nKind < 3) {
      c = static_cast<unsigned char>(0x20 + random() % 0x5F);  // printable
    } else if (nKind < 6) {
      c = static_cast<unsigned char>(random());  // any byte
    } else {
      c = random() % 2 ? kEdges[random() % sizeof kEdges] : static_cast<unsigned char>(0x20 + random() % 0x5F);
    }
    str += static_cast<char>(c);
  }
  return str;
}

TEST_F(DefinitionsFile, EveryAcceptedRandomEntryReadsBackUnchanged) {
  std::mt19937 random(1208);
  std::vector<std::string> sections;  // those of the definitions layout, each once
  for (const SDefinitionListLayout& layout : kDefinitionLists) {
    if (sections.empty() || sections.back() != layout.szSection) sections.push_back(layout.szSection);
  }
  DefinitionsList list;
  int nLine = 0, nRefused = 0;
  for (int nSection = 0; nSection < 12; ++nSection) {
    SDefinitionSection section;
    section.strName = nSection < static_cast<int>(sections.size()) ? sections[nSection] : RandomText(random, true);
    section.nLine = ++nLine;
    if (!FindReadBackFault(section.strName, EDefinitionPart::Section).empty()) {
      ++nRefused;
      continue;
    }
    for (int nEntry = 0; nEntry < 60; ++nEntry) {
      SDefinitionEntry entry{RandomText(random, true), RandomText(random, false), ++nLine};
      if (!FindReadBackFault(entry.strKey, EDefinitionPart::Key).empty() ||
          !FindReadBackFault(entry.strValue, EDefinitionPart::Value, ValueLimitOf(section.strName)).empty()) {
        ++nRefused;
        continue;
      }
      section.entries.push_back(entry);
    }
    list.push_back(section);
  }
  // Drop what the whole-list check refuses (names that collide), until none is left.
  for (auto faults = FindReadBackFaults(list); !faults.empty(); faults = FindReadBackFaults(list)) {
    std::set<int> lines;
    for (const auto& strFault : faults) lines.insert(std::stoi(strFault.substr(5)));
    nRefused += static_cast<int>(lines.size());
    for (auto it = list.begin(); it != list.end();) {
      if (lines.count(it->nLine)) {
        it = list.erase(it);
        continue;
      }
      auto& entries = it->entries;
      for (auto e = entries.begin(); e != entries.end();) e = lines.count(e->nLine) ? entries.erase(e) : e + 1;
      ++it;
    }
  }
  WriteRaw(WriteWorkingDefinitions(list));

  int nChecked = 0;
  for (const auto& section : list) {
    for (const auto& entry : section.entries) {
      std::string strOut;
      const DWORD dwCount = Lookup(section.strName.c_str(), entry.strKey.c_str(), strOut);
      EXPECT_EQ(entry.strValue.size(), dwCount);
      EXPECT_EQ(entry.strValue, strOut) << "line " << entry.nLine;
      ++nChecked;
    }
  }
  EXPECT_GT(nChecked, 300);
  EXPECT_GT(nRefused, 50);
}

}  // namespace
