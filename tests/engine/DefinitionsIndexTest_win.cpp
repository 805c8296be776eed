// The index of the working definitions file against the walk through the system's
// profile reader, over random files; and the exported matchers while the file is
// rewritten, from one thread and from several.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "engine/DefinitionMatchers.h"
#include "engine/DefinitionsIndex.h"
#include "support/ExportedMatchers.h"
#include "definitions/DefinitionsLayout.h"
#include "engine/LSPGlobals.h"
#include "engine/ProfileWalk_win.h"
#include "definitions/Scrambling.h"
#include "shared/OwnedResources_win.h"
#include "standins/defstool/DefinitionsList.h"
#include "support/TempFolder_win.h"
#include "support/WaitUntil_win.h"

namespace {

// A new file name in the test's own folder each time.
std::string TempFile() {
  static const CTempFolder folder;
  static int s_nFile = 0;
  return folder.Path() + "\\definitions" + std::to_string(++s_nFile) + ".hwd";
}

// Random working definitions files written line by line, in the forms the reader
// meets: duplicate sections and keys, gaps, blanks, quotes, comments, keys without
// a value, letters of either case in names, values of every length.
class CRandomFile {
 public:
  explicit CRandomFile(std::mt19937& random) : m_random(random) {}

  std::string Make() {
    std::string strData;
    std::vector<const char*> sections;  // those of the definitions layout, then two of them again
    for (const SDefinitionListLayout& layout : kDefinitionLists) {
      if (sections.empty() || std::strcmp(sections.back(), layout.szSection) != 0) sections.push_back(layout.szSection);
    }
    for (std::size_t i = 0, nDistinct = sections.size(); i < 2; ++i) sections.push_back(sections[Pick(nDistinct)]);
    for (const char* szSection : sections) {
      strData += Blanks() + "[" + Blanks() + Flipped(ScrambleString(szSection)) + Blanks() + "]" +
                 (Pick(6) == 0 ? "junk" : "") + End();
      for (int i = 0, nLines = 2 + Pick(14); i < nLines; ++i) strData += Line(szSection);
    }
    return strData;
  }

  // A text to look up: made of entries, of pieces of them, or of pages around them.
  std::string Query() {
    const std::string strEntry = m_entries.empty() ? "x" : m_entries[Pick(m_entries.size())];
    switch (Pick(7)) {
      case 0:
        return strEntry;
      case 1:
        return strEntry.substr(Pick(strEntry.size() + 1), Pick(12));
      case 2:
        return Word() + strEntry + Word();
      case 3:
        return UpperCased(strEntry);
      case 4: {  // a called link under its paired visible link, or nearly
        std::string strCalled = strEntry, strShown = Word();
        if (!m_calledLinks.empty()) {
          // Mostly the first one written, which a walk reaches more often than the rest.
          const auto& [strNumber, strLink] = m_calledLinks[Pick(2) ? 0 : Pick(m_calledLinks.size())];
          strCalled = LowerCased(strLink);
          for (auto it = m_visibleLinks.rbegin(); it != m_visibleLinks.rend(); ++it) {
            if (it->first == strNumber) strShown = it->second;  // the first one counts
          }
        }
        const std::size_t nForm = Pick(4);
        return Word() + "<a href=\"" + strCalled + "\">" +
               (nForm == 0   ? " " + strShown
                : nForm == 1 ? UpperCased(strShown)
                             : strShown) +
               (Pick(4) ? "</a> " : "") + Word();
      }
      case 5:
        return "";
      default:
        return Word() + " " + Word() + "/" + Word();
    }
  }

 private:
  std::size_t Pick(std::size_t n) { return n == 0 ? 0 : m_random() % n; }

  std::string Word() {
    static const char* const kWords[] = {"pay",  "bank",      "Login",  "x", "a.example", "null",
                                         "NULL", "192.0.2.1", "verify", "/", ">",         "<",
                                         "\"",   "'",         "=",      ";", "#"};
    return kWords[Pick(sizeof(kWords) / sizeof(kWords[0]))];
  }

  std::string PlainValue(const char* szSection) {
    std::string strValue;
    switch (Pick(20)) {
      case 0:
        return "";
      case 1:
      case 2:  // as long as a value may be, or longer
        while (strValue.size() < 90 + Pick(220)) strValue += Word();
        return strValue;
      case 3:
        for (int i = 0, n = 1 + static_cast<int>(Pick(20)); i < n; ++i) strValue += static_cast<char>(1 + Pick(255));
        return strValue;
      default:
        strValue = Word();
        for (int i = 0, n = static_cast<int>(Pick(3)); i < n; ++i) strValue += (Pick(2) ? "." : "/") + Word();
        m_entries.push_back(strValue);
        return strValue;
    }
  }

  // Keys mostly count up from 1 in their own section, with repeats and gaps.
  std::string Key(const char* szSection) {
    std::vector<const SDefinitionListLayout*> lists;
    for (const SDefinitionListLayout& layout : kDefinitionLists) {
      if (!std::strcmp(layout.szSection, szSection)) lists.push_back(&layout);
    }
    const SDefinitionListLayout& list = *lists[Pick(lists.size())];
    if (Pick(12) == 0) {  // a key of another list, which its own list never sees here
      return kDefinitionLists[Pick(kDefinitionListCount)].szPrefix + std::to_string(1 + Pick(6));
    }
    int& nCounter = m_counters[&list - kDefinitionLists];
    nCounter += Pick(10) == 0 ? 0 : Pick(12) == 0 ? 2 : 1;
    if (list.list == EDefinitionList::VisibleLink && Pick(4)) {  // mostly beside its called link
      nCounter = m_counters[&LayoutOf(EDefinitionList::CalledLink) - kDefinitionLists];
    }
    return list.szPrefix + std::to_string(nCounter == 0 ? 1 : nCounter);
  }

  std::string Line(const char* szSection) {
    const std::string strKey = Key(szSection);
    const std::string strPlain = PlainValue(szSection);
    if (!std::strcmp(szSection, "Link") && !strKey.compare(0, 5, "CLINK")) {
      m_calledLinks.push_back({strKey.substr(5), strPlain});
    }
    if (!std::strcmp(szSection, "Link") && !strKey.compare(0, 5, "VLINK")) {
      m_visibleLinks.push_back({strKey.substr(5), strPlain});
    }
    const std::string strValue = ScrambleString(strPlain);
    switch (Pick(12)) {
      case 0:
        return Blanks() + (Pick(2) ? ";" : "#") + ScrambleString(strKey) + "=" + strValue + End();
      case 1:
        return Blanks() + Flipped(ScrambleString(strKey)) + End();  // no value at all
      case 2:
        return Blanks() + ScrambleString(strKey) + "=" + (Pick(2) ? "\"" : "'") + strValue + (Pick(3) ? "\"" : "'") +
               Blanks() + End();
      case 3: {  // a byte 0 in the name or the value, or a "[" line that names no section
        std::string strLine = ScrambleString(strKey) + "=" + strValue + " ";
        strLine.insert(Pick(strLine.size()), 1, Pick(3) ? '\0' : '[');
        return Blanks() + strLine + End();
      }
      default:
        return Blanks() + Flipped(ScrambleString(strKey)) + Blanks() + "=" + Blanks() + strValue + Blanks() + End();
    }
  }

  std::string Blanks() {
    static const char* const kBlanks[] = {"", "", "", " ", "\t", " \x1A", "\x0B\x0C"};
    return kBlanks[Pick(7)];
  }
  std::string End() {
    static const char* const kEnds[] = {"\r\n", "\r\n", "\n", "\r", "\r\n\r\n"};
    return kEnds[Pick(5)];
  }
  std::string Flipped(std::string str) {
    if (Pick(3) == 0) {
      for (char& c : str) c = (c >= 'a' && c <= 'z') ? c - 32 : (c >= 'A' && c <= 'Z') ? c + 32 : c;
    }
    return str;
  }
  static std::string LowerCased(std::string str) {
    for (char& c : str) c = (c >= 'A' && c <= 'Z') ? c + 32 : c;
    return str;
  }
  static std::string UpperCased(std::string str) {
    for (char& c : str) c = (c >= 'a' && c <= 'z') ? c - 32 : c;
    return str;
  }

  std::mt19937& m_random;
  std::vector<std::string> m_entries;
  int m_counters[kDefinitionListCount] = {};
  std::vector<std::pair<std::string, std::string>> m_calledLinks, m_visibleLinks;  // (number, plain value)
};

struct COutputs {
  char szFirst[kMatchOutputSize];
  char szSecond[kMatchOutputSize];
  COutputs() {
    std::memset(szFirst, '#', sizeof(szFirst));
    std::memset(szSecond, '#', sizeof(szSecond));
  }
  std::string Both() const { return std::string(szFirst, sizeof(szFirst)) + std::string(szSecond, sizeof(szSecond)); }
};

// Every matcher's answer and outputs, as one text to compare.
template <typename TMatchers>
std::string Answers(const TMatchers& matchers, const std::string& strText) {
  const char* szText = strText.c_str();
  std::string strAnswers;
  strAnswers += matchers.IsBadIP(szText) ? "I" : "-";
  strAnswers += matchers.IsBadMailFrom(szText) ? "F" : "-";
  strAnswers += matchers.IsBadMailSubject(szText) ? "S" : "-";
  COutputs links, shown;
  strAnswers += matchers.IsBadMailLinks(szText, links.szFirst) ? "L" : "-";
  strAnswers += matchers.IsBadMailText(szText, links.szSecond) ? "T" : "-";
  strAnswers += matchers.IsBadVisibleMailLinks(szText, shown.szFirst, shown.szSecond) ? "V" : "-";
  std::string strLink(strText);
  strAnswers += matchers.IsBadUrl(&strLink[0]) ? "U" : "-";
  return strAnswers + " " + links.Both() + shown.Both() + strLink;
}

TEST(DefinitionsIndex, AnswersAsTheWalkThroughTheProfileReader) {
  std::mt19937 random(1608);
  int nListed[7] = {};  // per matcher, the texts found listed
  for (int nFile = 0; nFile < 40; ++nFile) {
    // A new file each time: the reader keeps what it read of a file it saw before.
    const std::string strPath = TempFile();
    CRandomFile maker(random);
    const std::string strData = maker.Make();
    WriteFileBytes(strPath, strData);
    const auto pIndex = CDefinitionsIndex::FromFileBytes(strData);
    ASSERT_TRUE(pIndex);
    const CProfileWalkReader reader(strPath.c_str());
    const CDefinitionMatchers walk(reader);
    for (int nQuery = 0; nQuery < 40; ++nQuery) {
      const std::string strQuery = maker.Query();
      const std::string strWalk = Answers(walk, strQuery);
      EXPECT_EQ(strWalk, Answers(*pIndex, strQuery))
          << "file " << nFile << " (" << strPath << "), text \"" << strQuery << "\"";
      for (int i = 0; i < 7; ++i) nListed[i] += strWalk[i] != '-';
      if (HasFailure()) return;  // keep the file for a look
    }
    ::DeleteFileA(strPath.c_str());
  }
  for (int i = 0; i < 7; ++i) EXPECT_GT(nListed[i], 4) << "matcher " << i;  // the random texts do find entries
}

// Under a multi-byte ANSI code page the profile reader makes characters of byte
// pairs, which the index does not: the exports must still answer as the walk.
// Runs where the code page is one (the test "MatcherTestsJapanese" sets ja_JP and
// names the code page it expects in HW_EXPECT_ACP).
TEST(CodePage, UnderAMultiByteCodePageTheExportsAnswerAsTheWalk) {
  char szExpected[16] = "";
  if (::GetEnvironmentVariableA("HW_EXPECT_ACP", szExpected, sizeof(szExpected))) {
    ASSERT_EQ(std::to_string(::GetACP()), szExpected) << "the locale did not reach the program";
  }
  CPINFO info = {};
  ASSERT_TRUE(::GetCPInfo(CP_ACP, &info));
  if (info.MaxCharSize < 2) GTEST_SKIP() << "code page " << ::GetACP() << " is single-byte";
  char szSavedPath[sizeof(CLSPGlobals::szDBPath)];
  std::memcpy(szSavedPath, CLSPGlobals::szDBPath, sizeof(szSavedPath));
  std::mt19937 random(932);
  for (int nFile = 0; nFile < 10 && !HasFailure(); ++nFile) {
    const std::string strPath = TempFile();
    CRandomFile maker(random);
    WriteFileBytes(strPath, maker.Make());
    std::strcpy(CLSPGlobals::szDBPath, strPath.c_str());
    const CProfileWalkReader reader(strPath.c_str());
    for (int nQuery = 0; nQuery < 20; ++nQuery) {
      const std::string strQuery = maker.Query();
      EXPECT_EQ(Answers(CDefinitionMatchers(reader), strQuery), Answers(CExportedMatchers(), strQuery))
          << "file " << nFile << ", text \"" << strQuery << "\"";
    }
    ::DeleteFileA(strPath.c_str());
  }
  std::memcpy(CLSPGlobals::szDBPath, szSavedPath, sizeof(szSavedPath));
}

// The exported matchers over a file of their own, rewritten while they are asked.
class RewrittenDefinitions : public ::testing::Test {
 protected:
  void SetUp() override {
    std::memcpy(m_szSavedPath, CLSPGlobals::szDBPath, sizeof(m_szSavedPath));
    m_strPath = TempFile();
    std::strcpy(CLSPGlobals::szDBPath, m_strPath.c_str());
  }
  void TearDown() override {
    std::memcpy(CLSPGlobals::szDBPath, m_szSavedPath, sizeof(m_szSavedPath));
    ::DeleteFileA(m_strPath.c_str());
  }
  static std::string Working(const std::string& strPlain) {
    const CResultOf<DefinitionsList> parsed = ParsePlainDefinitions(strPlain);
    EXPECT_TRUE(parsed.IsOk()) << parsed.Result().Text();
    return WriteWorkingDefinitions(parsed.Value());
  }

  std::string m_strPath;
  char m_szSavedPath[261];
};

TEST_F(RewrittenDefinitions, NewContentOfTheSameSizeIsNoticed) {
  const std::string strFirst = Working("[HostIP]\nIP1=192.0.2.10\n[Text]\nTXT1=first text\n");
  const std::string strSecond = Working("[HostIP]\nIP1=192.0.2.11\n[Text]\nTXT1=other text\n");
  ASSERT_EQ(strFirst.size(), strSecond.size());
  WriteFileBytes(m_strPath, strFirst);
  EXPECT_TRUE(CLSPGlobals::IsBadIP("192.0.2.10"));
  WriteFileBytes(m_strPath, strSecond);
  EXPECT_TRUE(WaitUntil([] { return CLSPGlobals::IsBadIP("192.0.2.11"); }));
  EXPECT_FALSE(CLSPGlobals::IsBadIP("192.0.2.10"));
  char szText[261];
  EXPECT_TRUE(CLSPGlobals::IsBadMailText("some other text here", szText));
  EXPECT_STREQ("other text", szText);

  // A file the reader takes for another encoding is walked, as the reader reads it.
  WriteFileBytes(m_strPath, "\xEF\xBB\xBF" + strFirst);
  EXPECT_TRUE(WaitUntil([] { return !CLSPGlobals::IsBadIP("192.0.2.11"); }));
  const CProfileWalkReader reader(m_strPath.c_str());
  EXPECT_EQ(CDefinitionMatchers(reader).IsBadIP("192.0.2.10"), CLSPGlobals::IsBadIP("192.0.2.10"));
}

TEST_F(RewrittenDefinitions, ThreadsGetTheOldOrTheNewAnswerWhileTheFileIsReplaced) {
  const std::string strFiles[] = {
      Working("[HostIP]\nIP1=192.0.2.1\nIP2=192.0.2.10\n[Link]\nCLINK1=pay.example/a\n[Text]\nTXT1=both\n"),
      Working(
          "[HostIP]\nIP1=192.0.2.2\nIP2=192.0.2.10\nIP3=192.0.2.3\n[Link]\nCLINK1=pay.example/b\n[Text]\nTXT1=both\n")};
  WriteFileBytes(m_strPath, strFiles[0]);
  std::atomic<bool> bStop{false};
  std::atomic<int> nCalls{0}, nWrong{0};
  std::vector<std::thread> threads;
  for (int i = 0; i < 4; ++i) {
    threads.emplace_back([&] {
      while (!bStop) {
        char szLink[] = "PAY.example";  // a host alone: never a listed page, in either file
        char szText[261] = "";
        const bool bRight = CLSPGlobals::IsBadIP("192.0.2.10") && !CLSPGlobals::IsBadUrl(szLink) &&
                            CLSPGlobals::IsBadMailText("in both files", szText) && !std::strcmp(szText, "both") &&
                            !CLSPGlobals::IsBadIP("192.0.2.4");
        nWrong += !bRight;
        ++nCalls;
      }
    });
  }
  // Each new content is written beside the file and put in its place at once.
  const std::string strNext = m_strPath + ".new";
  for (int nRound = 1; nRound <= 20; ++nRound) {
    const int nBefore = nCalls;
    WriteFileBytes(strNext, strFiles[nRound % 2]);
    EXPECT_TRUE(WaitUntil([&] { return ::MoveFileExA(strNext.c_str(), m_strPath.c_str(), MOVEFILE_REPLACE_EXISTING); }))
        << ::GetLastError();
    const bool bFirst = nRound % 2 == 0;
    EXPECT_TRUE(WaitUntil([&] { return CLSPGlobals::IsBadIP("192.0.2.1") == bFirst && nCalls > nBefore + 20; }));
  }
  bStop = true;
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(0, nWrong.load());
  EXPECT_GT(nCalls.load(), 400);
}

}  // namespace
