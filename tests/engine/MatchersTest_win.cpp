// The exported matchers against working definitions files written by the
// definitions tool and read through the system's private-profile reader, and the
// provider stand-in that asks them before it sends a request to the console.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "console/core/RequestWindow_win.h"
#include "definitions/DefinitionsLayout.h"
#include "engine/LSPGlobals.h"
#include "definitions/Scrambling.h"
#include "shared/OwnedResources_win.h"
#include "standins/defstool/DefinitionsList.h"
#include "standins/defstool/ReadBackCheck.h"
#include "support/ChildProcess_win.h"
#include "support/RecordingHandlers.h"
#include "support/TempFolder_win.h"

namespace {

constexpr char kProductKey[] = "Software\\Corvinth\\Hookwarden";

// A folder of its own for every run, removed with its files at the end.
const std::string& TestFolder() {
  static const CTempFolder folder;
  return folder.Path();
}

// Writes the plain list as a working definitions file with the definitions tool's
// own code; fails the test when the tool refuses an entry.
void WriteWorkingFile(const std::string& strPath, const std::string& strPlain) {
  const CResultOf<DefinitionsList> parsed = ParsePlainDefinitions(strPlain);
  ASSERT_TRUE(parsed.IsOk()) << parsed.Result().Text();
  const DefinitionsList& list = parsed.Value();
  const std::vector<std::string> faults = FindReadBackFaults(list);
  ASSERT_TRUE(faults.empty()) << faults.front();
  WriteFileBytes(strPath, WriteWorkingDefinitions(list));
}

constexpr char kDefinitions[] =
    "[HostIP]\n"
    "IP1=192.0.2.10\n"
    "IP2=FE80::ABCD\n"
    "IP4=203.0.113.4\n"  // behind the gap at IP3: never read
    "[HostLink]\n"
    "HLINK1=Login.Example.com/Verify\n"
    "HLINK2=pay=now;example.test/x\n"
    "[Link]\n"
    "CLINK1=null\n"
    "VLINK1=www.retired.example\n"
    "CLINK2=http://account-check.example.net/login\n"
    "VLINK2=http://www.example.com/login\n"
    "CLINK3=http://198.51.100.40/Bank\n"
    "[From]\n"
    "FROM1=security@account-check.example.net\n"
    "[Subject]\n"
    "SUB1=urgent: verify your account\n"
    "[Text]\n"
    "TXT1=Confirm Your Password\n";

// Every test reads its own file: szDBPath points at it while the test runs.
class WorkingDefinitions : public ::testing::Test {
 protected:
  void SetUp() override {
    std::memcpy(m_szSavedPath, CLSPGlobals::szDBPath, sizeof(m_szSavedPath));
    const auto* pInfo = ::testing::UnitTest::GetInstance()->current_test_info();
    m_strPath = TestFolder() + "\\" + pInfo->name() + ".hwd";
    ASSERT_LT(m_strPath.size(), sizeof(CLSPGlobals::szDBPath));
    std::strcpy(CLSPGlobals::szDBPath, m_strPath.c_str());
  }
  void TearDown() override {
    std::memcpy(CLSPGlobals::szDBPath, m_szSavedPath, sizeof(m_szSavedPath));
    ::DeleteFileA(m_strPath.c_str());
  }
  void Write(const std::string& strPlain) { WriteWorkingFile(m_strPath, strPlain); }

  std::string m_strPath;
  char m_szSavedPath[261];
};

struct COutput {
  char sz[261];
  COutput() { std::memset(sz, '#', sizeof(sz)); }
  bool Untouched() const {
    for (char c : sz) {
      if (c != '#') return false;
    }
    return true;
  }
};

TEST_F(WorkingDefinitions, HostAddressesEqualAnEntryUpToTheFirstGap) {
  Write(kDefinitions);
  EXPECT_TRUE(CLSPGlobals::IsBadIP("192.0.2.10"));
  EXPECT_TRUE(CLSPGlobals::IsBadIP("fe80::abcd"));
  EXPECT_FALSE(CLSPGlobals::IsBadIP("192.0.2.1"));
  EXPECT_FALSE(CLSPGlobals::IsBadIP("203.0.113.4"));
}

TEST_F(WorkingDefinitions, LinksAreLookedForInsideHostLinksThenLinks) {
  Write(kDefinitions);
  char szHost[] = "LOGIN.example.com";  // a host alone never meets a listed page
  EXPECT_FALSE(CLSPGlobals::IsBadUrl(szHost));
  EXPECT_STREQ("login.example.com", szHost);
  char szEscaped[] = "pay=now;example.test/x/y";  // the INI characters come back from their escapes
  EXPECT_TRUE(CLSPGlobals::IsBadUrl(szEscaped));
  char szLink[] = "198.51.100.40/bank";
  EXPECT_TRUE(CLSPGlobals::IsBadUrl(szLink));
  char szNull[] = "null";  // a retired link is still text to this list
  EXPECT_TRUE(CLSPGlobals::IsBadUrl(szNull));
  char szParent[] = "example.com";
  EXPECT_FALSE(CLSPGlobals::IsBadUrl(szParent));
  char szEmpty[] = "";
  EXPECT_FALSE(CLSPGlobals::IsBadUrl(szEmpty));
}

TEST_F(WorkingDefinitions, SenderSubjectAndTextContainAnEntry) {
  Write(kDefinitions);
  EXPECT_TRUE(CLSPGlobals::IsBadMailFrom("\"support\" <security@account-check.example.net>"));
  EXPECT_FALSE(CLSPGlobals::IsBadMailFrom("SECURITY@ACCOUNT-CHECK.EXAMPLE.NET"));
  EXPECT_TRUE(CLSPGlobals::IsBadMailSubject("re: urgent: verify your account now"));
  EXPECT_FALSE(CLSPGlobals::IsBadMailSubject("verify your account"));
  COutput text;
  EXPECT_FALSE(CLSPGlobals::IsBadMailText("please confirm your passport", text.sz));
  EXPECT_TRUE(text.Untouched());
  EXPECT_TRUE(CLSPGlobals::IsBadMailText("dear user, confirm your password today", text.sz));
  EXPECT_STREQ("confirm your password", text.sz);
}

TEST_F(WorkingDefinitions, MailLinksSkipRetiredEntries) {
  Write(kDefinitions);
  COutput link;
  EXPECT_FALSE(CLSPGlobals::IsBadMailLinks("null www.retired.example", link.sz));
  EXPECT_TRUE(link.Untouched());
  EXPECT_TRUE(CLSPGlobals::IsBadMailLinks("<a href=\"http://198.51.100.40/bank\">bank</a>", link.sz));
  EXPECT_STREQ("http://198.51.100.40/bank", link.sz);
}

TEST_F(WorkingDefinitions, VisibleMailLinksPairCalledAndShownLinkByNumber) {
  Write(kDefinitions);
  COutput visible;
  COutput called;
  EXPECT_TRUE(CLSPGlobals::IsBadVisibleMailLinks(
      "<a href=\"http://account-check.example.net/login\">HTTP://WWW.EXAMPLE.COM/LOGIN</a>", visible.sz, called.sz));
  EXPECT_STREQ("http://www.example.com/login", visible.sz);
  EXPECT_STREQ("http://account-check.example.net/login", called.sz);

  COutput untouched1;
  COutput untouched2;
  // Shown under other text, or the link without a paired visible link (CLINK3).
  EXPECT_FALSE(CLSPGlobals::IsBadVisibleMailLinks(
      "<a href=\"http://account-check.example.net/login\">log in</a> <a href=http://198.51.100.40/bank>x</a>",
      untouched1.sz, untouched2.sz));
  EXPECT_TRUE(untouched1.Untouched());
  EXPECT_TRUE(untouched2.Untouched());
}

TEST_F(WorkingDefinitions, EntriesOf260CharactersArriveWhole) {
  const std::string strLong(260, 'q');
  Write("[Text]\nTXT1=" + strLong + "\n[Link]\nCLINK1=" + strLong + "\n");
  COutput text;
  EXPECT_TRUE(CLSPGlobals::IsBadMailText(("x" + strLong + "x").c_str(), text.sz));
  EXPECT_EQ(strLong, std::string(text.sz));
  std::string strLink = strLong + "/page";
  EXPECT_TRUE(CLSPGlobals::IsBadUrl(&strLink[0]));
}

// The longest address the tool accepts reads back whole through the 100-byte
// buffer of the "HostIP" walk; one character more is cut to the same count.
TEST_F(WorkingDefinitions, LongestAcceptedAddressReadsBackWhole) {
  std::string strAddress;
  while (strAddress.size() < kAddressValueSize - 1) strAddress += "fe80:a0b9:7cde:";
  strAddress.resize(kAddressValueSize - 1);
  strAddress.back() = '1';
  Write("[HostIP]\nIP1=" + strAddress.substr(1) + "\nIP2=" + strAddress + "\n");
  EXPECT_TRUE(CLSPGlobals::IsBadIP(strAddress.c_str()));
  EXPECT_FALSE(CLSPGlobals::IsBadIP(strAddress.substr(0, strAddress.size() - 1).c_str()));

  const std::string strSection = ScrambleString("HostIP");
  for (const char* szKey : {"IP1", "IP2"}) {
    const std::string strStored = ScrambleString(szKey[2] == '1' ? strAddress.substr(1) : strAddress);
    char szRead[kAddressValueSize + 1];
    std::memset(szRead, '#', sizeof(szRead));
    EXPECT_EQ(strStored.size(), ::GetPrivateProfileStringA(strSection.c_str(), ScrambleString(szKey).c_str(), "",
                                                           szRead, kAddressValueSize, m_strPath.c_str()));
    EXPECT_EQ(strStored, szRead);
  }
  // A 100th character: the same count as a whole 99, with the last one lost.
  WriteFileBytes(m_strPath,
                 "[" + strSection + "]\r\n" + ScrambleString("IP1") + "=" + ScrambleString(strAddress + "7") + "\r\n");
  char szRead[kAddressValueSize];
  EXPECT_EQ(kAddressValueSize - 1,
            CLSPGlobals::GetEncPrivateProfileString("HostIP", "IP1", "", szRead, kAddressValueSize, m_strPath.c_str()));
  EXPECT_EQ(strAddress, szRead);
  EXPECT_FALSE(CLSPGlobals::IsBadIP((strAddress + "7").c_str()));
}

TEST_F(WorkingDefinitions, NoFileMissingSectionsOrEmptyListsMatchNothing) {
  COutput out;
  COutput out2;
  char szLink[] = "login.example.com";
  EXPECT_FALSE(CLSPGlobals::IsBadIP("192.0.2.10"));  // no file written yet
  EXPECT_FALSE(CLSPGlobals::IsBadUrl(szLink));
  Write("[HostIP]\n[Other]\nIP1=192.0.2.10\n");
  EXPECT_FALSE(CLSPGlobals::IsBadIP("192.0.2.10"));
  EXPECT_FALSE(CLSPGlobals::IsBadMailFrom("a"));
  EXPECT_FALSE(CLSPGlobals::IsBadMailSubject("a"));
  EXPECT_FALSE(CLSPGlobals::IsBadMailLinks("a", out.sz));
  EXPECT_FALSE(CLSPGlobals::IsBadVisibleMailLinks("a>b<", out.sz, out2.sz));
  EXPECT_FALSE(CLSPGlobals::IsBadMailText("a", out.sz));
  EXPECT_TRUE(out.Untouched());
  EXPECT_TRUE(out2.Untouched());
}

TEST(GetUrlExport, CutsTheAddressOutOfARequestHead) {
  char szUrl[261];
  std::memset(szUrl, '#', sizeof(szUrl));
  CLSPGlobals::GetUrl("get /verify?id=7 http/1.1\r\nhost: www.login.example.com\r\n\r\n", szUrl);
  EXPECT_STREQ("login.example.com/verify", szUrl);
  CLSPGlobals::GetUrl("GET /verify HTTP/1.1\r\nHost: www.login.example.com\r\n\r\n", szUrl);
  EXPECT_STREQ("", szUrl);
}

// The stand-in finds the definitions the way the provider does: "App Path" in the
// product key, then hkwdn2.hwd in that folder.
class ProviderStandin : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    HKEY hKey = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, ::RegCreateKeyExA(HKEY_CURRENT_USER, kProductKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                               &hKey, nullptr));
    s_key.Reset(hKey);
    char szOld[261] = "";
    DWORD cbOld = sizeof(szOld) - 1;
    s_bHadAppPath =
        ::RegQueryValueExA(hKey, "App Path", nullptr, nullptr, reinterpret_cast<BYTE*>(szOld), &cbOld) == ERROR_SUCCESS;
    s_strOldAppPath = szOld;
    const std::string strFolder = TestFolder();
    ::RegSetValueExA(hKey, "App Path", 0, REG_SZ, reinterpret_cast<const BYTE*>(strFolder.c_str()),
                     static_cast<DWORD>(strFolder.size() + 1));
    WriteWorkingFile(strFolder + "\\hkwdn2.hwd", kDefinitions);
    // A console's user folder, which it writes again at its start, would take the
    // working file elsewhere.
    ::RegDeleteValueA(hKey, "Data Path");
  }
  static void TearDownTestSuite() {
    const HKEY hKey = s_key.Get();
    if (s_bHadAppPath) {
      ::RegSetValueExA(hKey, "App Path", 0, REG_SZ, reinterpret_cast<const BYTE*>(s_strOldAppPath.c_str()),
                       static_cast<DWORD>(s_strOldAppPath.size() + 1));
    } else {
      ::RegDeleteValueA(hKey, "App Path");
    }
    s_key.Reset();
  }
  void SetUp() override { ASSERT_TRUE(m_window.Create(nullptr)); }

  static int Run(const std::string& strArguments) { return RunChildPumping("provider-standin.exe", strArguments); }
  static std::string HeadFile(const std::string& strName, const std::string& strHead) {
    const std::string strPath = TestFolder() + "\\" + strName;
    CFClose file(std::fopen(strPath.c_str(), "wb"));
    std::fwrite(strHead.data(), 1, strHead.size(), file.Get());
    return strPath;
  }

  static CRegCloseKey s_key;
  static bool s_bHadAppPath;
  static std::string s_strOldAppPath;
  CRecordingHandlers m_handlers;  // the console's request window in this process
  CRequestWindow m_window{m_handlers};
};
CRegCloseKey ProviderStandin::s_key;
bool ProviderStandin::s_bHadAppPath = false;
std::string ProviderStandin::s_strOldAppPath;

TEST_F(ProviderStandin, ListedHostAddressIsSentAndGetsTheVerdict) {
  m_handlers.nReply = VERDICT_BLOCK;
  EXPECT_EQ(VERDICT_BLOCK, Run("--kind I --ip 192.0.2.10 --port 443 --name firefox.exe"));
  ASSERT_EQ(std::vector<std::string>{"ip"}, m_handlers.calls);
  EXPECT_EQ(EWebKind::HostIP, m_handlers.lastWeb.eKind);
  EXPECT_EQ("192.0.2.10", m_handlers.lastWeb.source.strHostIP);
  EXPECT_EQ(443, m_handlers.lastWeb.source.nPort);
  EXPECT_EQ("firefox.exe", m_handlers.lastWeb.source.strProgram);
  m_handlers.nReply = VERDICT_ALLOW;
  EXPECT_EQ(VERDICT_ALLOW, Run("--kind I --ip FE80::abcd --port 80"));
}

TEST_F(ProviderStandin, UnlistedAddressesAreNotSent) {
  EXPECT_EQ(3, Run("--kind I --ip 192.0.2.1 --port 80"));
  EXPECT_EQ(3, Run("--kind I --ip 203.0.113.4 --port 80"));  // behind the gap
  EXPECT_EQ(3, Run("--kind U --ip 192.0.2.1 --port 80 --url www.example.org/index.html"));
  EXPECT_TRUE(m_handlers.calls.empty());
}

TEST_F(ProviderStandin, RequestHeadIsCutAndSentWhenListed) {
  m_handlers.nReply = VERDICT_BLOCK;
  const std::string strListed =
      HeadFile("listed.txt", "GET /Verify?session=42 HTTP/1.1\r\nHost: www.Login.Example.com\r\nAccept: */*\r\n\r\n");
  EXPECT_EQ(VERDICT_BLOCK, Run("--kind U --ip 198.51.100.23 --port 80 --head \"" + strListed + "\""));
  ASSERT_EQ(std::vector<std::string>{"url"}, m_handlers.calls);
  EXPECT_EQ(EWebKind::Url, m_handlers.lastWeb.eKind);
  EXPECT_EQ("login.example.com/verify", m_handlers.lastWeb.strUrl);
  EXPECT_EQ("198.51.100.23", m_handlers.lastWeb.source.strHostIP);

  const std::string strUnlisted = HeadFile("unlisted.txt", "GET /index.html HTTP/1.1\r\nHost: www.example.org\r\n\r\n");
  EXPECT_EQ(3, Run("--kind U --ip 192.0.2.1 --port 80 --head \"" + strUnlisted + "\""));
  const std::string strImage = HeadFile("image.txt", "GET /verify.jpg HTTP/1.1\r\nHost: login.example.com\r\n\r\n");
  EXPECT_EQ(3, Run("--kind U --ip 192.0.2.1 --port 80 --head \"" + strImage + "\""));
  EXPECT_EQ(1u, m_handlers.calls.size());
  EXPECT_EQ(2, Run("--kind U --ip 192.0.2.1 --port 80 --head \"" + TestFolder() + "\\missing.txt\""));
}

TEST_F(ProviderStandin, AlwaysSendsWithoutAskingAndUsageErrorsSendNothing) {
  EXPECT_EQ(VERDICT_ALLOW, Run("--kind U --ip 192.0.2.1 --port 80 --url www.example.org/x --always"));
  ASSERT_EQ(std::vector<std::string>{"url"}, m_handlers.calls);
  EXPECT_EQ("www.example.org/x", m_handlers.lastWeb.strUrl);
  EXPECT_EQ(2, Run("--kind U --ip 192.0.2.1 --port 80"));
  EXPECT_EQ(2, Run("--kind X --ip 192.0.2.1 --port 80"));
  EXPECT_EQ(2, Run("--kind I --ip"));
  EXPECT_EQ(1u, m_handlers.calls.size());
}

}  // namespace
