// The engine library's shared paths and its registry wrappers, against the real
// registry. Every test leaves HKEY_CURRENT_USER as it found it.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "engine/LSPGlobals.h"
#include "shared/EngineRequest.h"
#include "shared/OwnedResources_win.h"
#include "shared/UserDataFolder_win.h"
#include "standins/defstool/DefinitionsList.h"
#include "support/TempFolder_win.h"
#include "support/WaitUntil_win.h"

namespace {

constexpr char kCompanyKey[] = "Software\\Corvinth";
constexpr char kProductKey[] = "Software\\Corvinth\\Hookwarden";
constexpr char kScratchKey[] = "Software\\HookwardenTests";

bool KeyExists(const char* szKey) {
  CRegCloseKey key;
  return ::RegOpenKeyExA(HKEY_CURRENT_USER, szKey, 0, KEY_READ, key.Receive()) == ERROR_SUCCESS;
}

void ClearPaths() {
  CLSPGlobals::szAppPath[0] = 0;
  CLSPGlobals::szDBPath[0] = 0;
  CLSPGlobals::szPMailPath[0] = 0;
}

// Each test starts as a freshly loaded library: the paths are empty.
class AppVars : public ::testing::Test {
 protected:
  void SetUp() override {
    m_bCompanyExisted = KeyExists(kCompanyKey);
    m_bProductExisted = KeyExists(kProductKey);
    if (m_bProductExisted) {
      CRegCloseKey key;
      ::RegOpenKeyExA(HKEY_CURRENT_USER, kProductKey, 0, KEY_READ | KEY_SET_VALUE, key.Receive());
      for (SSavedValue& saved : m_saved) {
        char szValue[1024] = {};
        DWORD cb = sizeof szValue;
        saved.bHad = ::RegQueryValueExA(key.Get(), saved.szName, nullptr, &saved.dwType,
                                        reinterpret_cast<BYTE*>(szValue), &cb) == ERROR_SUCCESS;
        saved.strData.assign(szValue, cb);
      }
      // A console's user folder would take the working file elsewhere.
      ::RegDeleteValueA(key.Get(), "Data Path");
    }
    ClearPaths();
  }
  void TearDown() override {
    if (m_bProductExisted) {
      CRegCloseKey key;
      ::RegOpenKeyExA(HKEY_CURRENT_USER, kProductKey, 0, KEY_SET_VALUE, key.Receive());
      for (const SSavedValue& saved : m_saved) {
        if (saved.bHad) {
          ::RegSetValueExA(key.Get(), saved.szName, 0, saved.dwType,
                           reinterpret_cast<const BYTE*>(saved.strData.data()),
                           static_cast<DWORD>(saved.strData.size()));
        } else {
          ::RegDeleteValueA(key.Get(), saved.szName);
        }
      }
    } else {
      ::RegDeleteTreeA(HKEY_CURRENT_USER, kProductKey);
    }
    if (!m_bCompanyExisted) ::RegDeleteKeyA(HKEY_CURRENT_USER, kCompanyKey);
    ClearPaths();
  }

  void SetAppPath(const std::string& strPath, const char* szName = "App Path") {
    CRegCloseKey key;
    ASSERT_EQ(ERROR_SUCCESS, ::RegCreateKeyExA(HKEY_CURRENT_USER, kProductKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                                               key.Receive(), nullptr));
    ASSERT_EQ(ERROR_SUCCESS,
              ::RegSetValueExA(key.Get(), szName, 0, REG_SZ, reinterpret_cast<const BYTE*>(strPath.c_str()),
                               static_cast<DWORD>(strPath.size() + 1)));
  }

  struct SSavedValue {
    const char* szName;
    bool bHad = false;
    DWORD dwType = REG_SZ;
    std::string strData;
  };
  bool m_bCompanyExisted = false;
  bool m_bProductExisted = false;
  SSavedValue m_saved[2] = {{"App Path"}, {"Data Path"}};
};

TEST_F(AppVars, WithoutProductKeyTheKeyIsMadeAndPathsWaitForAppPath) {
  if (m_bProductExisted) GTEST_SKIP() << "the product key is in use in this prefix";
  EXPECT_TRUE(CLSPGlobals::InitializeAppVars());
  EXPECT_TRUE(KeyExists(kProductKey));
  EXPECT_STREQ("", CLSPGlobals::szAppPath);
  EXPECT_STREQ("", CLSPGlobals::szDBPath);
  EXPECT_STREQ("", CLSPGlobals::szPMailPath);
  EXPECT_EQ(nullptr, CLSPGlobals::hAppRegKey);
}

TEST_F(AppVars, PathsComeFromAppPathAndStayForLaterCalls) {
  SetAppPath("C:\\Program Files\\Hookwarden");
  EXPECT_TRUE(CLSPGlobals::InitializeAppVars());
  EXPECT_STREQ("C:\\Program Files\\Hookwarden", CLSPGlobals::szAppPath);
  EXPECT_STREQ("C:\\Program Files\\Hookwarden\\hkwdn2.hwd", CLSPGlobals::szDBPath);
  EXPECT_STREQ("C:\\Program Files\\Hookwarden\\hkwdnm.htm", CLSPGlobals::szPMailPath);
  EXPECT_EQ(nullptr, CLSPGlobals::hAppRegKey);
  EXPECT_EQ(nullptr, CLSPGlobals::hMainWnd);

  // A second call keeps the paths but looks the console's window up again.
  SetAppPath("D:\\Elsewhere");
  CDestroyWindow window(
      ::CreateWindowExA(0, "STATIC", REQUEST_WINDOW_TITLE, WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr));
  ASSERT_TRUE(window);
  EXPECT_TRUE(CLSPGlobals::InitializeAppVars());
  EXPECT_STREQ("C:\\Program Files\\Hookwarden", CLSPGlobals::szAppPath);
  EXPECT_STREQ("C:\\Program Files\\Hookwarden\\hkwdn2.hwd", CLSPGlobals::szDBPath);
  EXPECT_EQ(window.Get(), CLSPGlobals::hMainWnd);
  window.Reset();
  EXPECT_TRUE(CLSPGlobals::InitializeAppVars());
  EXPECT_EQ(nullptr, CLSPGlobals::hMainWnd);
}

// Each user's console names its own folder for the working file; the mail block
// page stays in the application folder. Any program of the user can rewrite the
// value: the file is read from the user's own folder, never from one it names.
TEST_F(AppVars, WorkingFileLiesInTheUsersOwnFolder) {
  const std::string strOwn = GetUserDataFolder();
  ASSERT_NE("", strOwn);
  SetAppPath("C:\\Program Files\\Hookwarden");
  SetAppPath("\\\\attacker.example\\share", "Data Path");
  EXPECT_TRUE(CLSPGlobals::InitializeAppVars());
  EXPECT_STREQ("C:\\Program Files\\Hookwarden", CLSPGlobals::szAppPath);
  EXPECT_EQ(strOwn + "\\hkwdn2.hwd", CLSPGlobals::szDBPath);
  EXPECT_STREQ("C:\\Program Files\\Hookwarden\\hkwdnm.htm", CLSPGlobals::szPMailPath);
}

TEST_F(AppVars, AppPathOf260CharactersIsTreatedAsMissing) {
  SetAppPath("C:\\" + std::string(257, 'a'));
  EXPECT_TRUE(CLSPGlobals::InitializeAppVars());
  EXPECT_STREQ("", CLSPGlobals::szAppPath);
  EXPECT_STREQ("", CLSPGlobals::szDBPath);
  EXPECT_STREQ("", CLSPGlobals::szPMailPath);
}

// Any program of the user can write "App Path": one naming a share (or another
// form that is not a plain local path) is taken for none, and the console's own
// value, written again, is taken at a later call.
TEST_F(AppVars, AppPathThatIsNotPlainAndLocalIsTreatedAsMissing) {
  for (const char* szPath : {"\\\\192.0.2.1\\share", "\\\\?\\C:\\Hookwarden", "C:\\Hookwarden\\..\\Elsewhere"}) {
    SCOPED_TRACE(szPath);
    ClearPaths();
    SetAppPath(szPath);
    EXPECT_TRUE(CLSPGlobals::InitializeAppVars());
    EXPECT_STREQ("", CLSPGlobals::szAppPath);
    EXPECT_STREQ("", CLSPGlobals::szDBPath);
    EXPECT_STREQ("", CLSPGlobals::szPMailPath);
    SetAppPath("C:\\Program Files\\Hookwarden");
    EXPECT_TRUE(CLSPGlobals::InitializeAppVars());
    EXPECT_STREQ("C:\\Program Files\\Hookwarden\\hkwdn2.hwd", CLSPGlobals::szDBPath);
  }
}

TEST_F(AppVars, LongestAppPathFitsAndLongerFileNamesAreCutInsideTheBuffer) {
  const std::string strPath = "C:\\" + std::string(256, 'b');  // 259 characters
  SetAppPath(strPath);
  EXPECT_TRUE(CLSPGlobals::InitializeAppVars());
  EXPECT_EQ(strPath, CLSPGlobals::szAppPath);
  EXPECT_EQ(260u, std::strlen(CLSPGlobals::szDBPath));
  EXPECT_EQ(strPath + "\\", CLSPGlobals::szDBPath);
  EXPECT_EQ(strPath + "\\", CLSPGlobals::szPMailPath);
}

// A proxy or browser started at log-on asks before the console has published its
// folder; once it has, the next lookups find the definitions there.
TEST_F(AppVars, LookupsMadeBeforeAppPathWasWrittenFindEntriesOnceItIs) {
  {
    CRegCloseKey key;
    ASSERT_EQ(ERROR_SUCCESS, ::RegCreateKeyExA(HKEY_CURRENT_USER, kProductKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                                               key.Receive(), nullptr));
    ::RegDeleteValueA(key.Get(), "App Path");
  }
  EXPECT_TRUE(CLSPGlobals::InitializeAppVars());
  const CTempFolder folder;
  const CResultOf<DefinitionsList> parsed = ParsePlainDefinitions("[HostLink]\nHLINK1=login.example.com/verify\n");
  ASSERT_TRUE(parsed.IsOk()) << parsed.Result().Text();
  const DefinitionsList& list = parsed.Value();
  WriteFileBytes(folder.Path() + "\\hkwdn2.hwd", WriteWorkingDefinitions(list));
  auto bListed = [] {
    char szLink[] = "login.example.com/verify/next";
    return CLSPGlobals::IsBadUrl(szLink);
  };
  EXPECT_FALSE(bListed());
  SetAppPath(folder.Path());
  EXPECT_TRUE(WaitUntil(bListed));
  EXPECT_EQ(folder.Path() + "\\hkwdn2.hwd", CLSPGlobals::szDBPath);
  EXPECT_EQ(folder.Path() + "\\hkwdnm.htm", CLSPGlobals::szPMailPath);
}

TEST_F(AppVars, GetAppPathIsEmptyOutsideInitialization) {
  SetAppPath("C:\\Hookwarden");
  EXPECT_EQ("", CLSPGlobals::GetAppPath());
  // While the product key is open it gives the value.
  CLSPGlobals::hAppRegKey = CLSPGlobals::InitializeAppRegKey();
  ASSERT_NE(nullptr, CLSPGlobals::hAppRegKey);
  EXPECT_EQ("C:\\Hookwarden", CLSPGlobals::GetAppPath());
  CRegCloseKey key(CLSPGlobals::hAppRegKey);
  CLSPGlobals::hAppRegKey = nullptr;
}

TEST_F(AppVars, ConcurrentCallsAllSucceedWithOnePath) {
  SetAppPath("C:\\Concurrent");
  std::vector<std::thread> threads;
  std::vector<int> results(8, -1);
  for (int i = 0; i < 8; ++i) threads.emplace_back([&results, i] { results[i] = CLSPGlobals::InitializeAppVars(); });
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(std::vector<int>(8, 1), results);
  EXPECT_STREQ("C:\\Concurrent\\hkwdn2.hwd", CLSPGlobals::szDBPath);
  EXPECT_EQ(nullptr, CLSPGlobals::hAppRegKey);
}

// The thin wrappers, on a scratch key of their own.
class RegistryWrappers : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(1, CLSPGlobals::OwnerRegCreateKeyEx(HKEY_CURRENT_USER, kScratchKey, m_key.Receive()));
  }
  void TearDown() override {
    m_key.Reset();
    ::RegDeleteTreeA(HKEY_CURRENT_USER, kScratchKey);
  }
  CRegCloseKey m_key;
};

TEST_F(RegistryWrappers, ConnectAndCreate) {
  CRegCloseKey root;
  EXPECT_EQ(1, CLSPGlobals::OwnerRegConnectRegistry(HKEY_CURRENT_USER, root.Receive()));
  EXPECT_TRUE(root);
  EXPECT_EQ(0, CLSPGlobals::OwnerRegConnectRegistry(HKEY_CURRENT_USER, nullptr));
  CRegCloseKey sub;
  EXPECT_EQ(1, CLSPGlobals::OwnerRegCreateEncKeyEx(root.Get(), "Software\\HookwardenTests\\A\\B", sub.Receive()));
  EXPECT_TRUE(KeyExists("Software\\HookwardenTests\\A\\B"));
  EXPECT_EQ(1, CLSPGlobals::OwnerRegCreateKeyEx(m_key.Get(), "A\\B", sub.Receive())) << "opening an existing key";
  EXPECT_EQ(0, CLSPGlobals::OwnerRegCreateKeyEx(nullptr, "A", sub.Receive()));
}

TEST_F(RegistryWrappers, SetWritesIntoTheKeyItselfOrAnExistingSubkey) {
  const char szText[] = "value";
  EXPECT_EQ(1, CLSPGlobals::OwnerRegSetEncValueEx(m_key.Get(), "", "Direct", REG_SZ,
                                                  reinterpret_cast<const BYTE*>(szText), sizeof szText));
  EXPECT_EQ(1, CLSPGlobals::OwnerRegSetEncValueEx(m_key.Get(), nullptr, "AlsoDirect", REG_SZ,
                                                  reinterpret_cast<const BYTE*>(szText), sizeof szText));
  EXPECT_EQ(0, CLSPGlobals::OwnerRegSetEncValueEx(m_key.Get(), "Missing", "V", REG_SZ,
                                                  reinterpret_cast<const BYTE*>(szText), sizeof szText));
  EXPECT_FALSE(KeyExists("Software\\HookwardenTests\\Missing")) << "set does not create the subkey";
  CRegCloseKey sub;
  ASSERT_EQ(1, CLSPGlobals::OwnerRegCreateKeyEx(m_key.Get(), "Sub", sub.Receive()));
  const DWORD dwNumber = 0x01020304;
  EXPECT_EQ(1, CLSPGlobals::OwnerRegSetEncValueEx(m_key.Get(), "Sub", "Number", REG_DWORD,
                                                  reinterpret_cast<const BYTE*>(&dwNumber), sizeof dwNumber));

  char szOut[261];
  std::memset(szOut, 0, sizeof szOut);
  EXPECT_EQ(1, CLSPGlobals::OwnerRegQueryValueEx(m_key.Get(), "Direct", szOut));
  EXPECT_STREQ("value", szOut);
  std::memset(szOut, 0, sizeof szOut);
  EXPECT_EQ(1, CLSPGlobals::OwnerRegQueryEncValueEx(m_key.Get(), "", "AlsoDirect", szOut));
  EXPECT_STREQ("value", szOut);
  DWORD dwRead = 0;
  EXPECT_EQ(1, CLSPGlobals::OwnerRegQueryEncValueEx(m_key.Get(), "Sub", "Number", szOut));
  std::memcpy(&dwRead, szOut, sizeof dwRead);
  EXPECT_EQ(dwNumber, dwRead);
  EXPECT_EQ(0, CLSPGlobals::OwnerRegQueryEncValueEx(m_key.Get(), "Missing", "Number", szOut));
}

TEST_F(RegistryWrappers, QueryReadsAtMost260BytesAndTouchesNothingOnFailure) {
  const std::string str259(259, 'x'), str260(260, 'y');
  ::RegSetValueExA(m_key.Get(), "Fits", 0, REG_SZ, reinterpret_cast<const BYTE*>(str259.c_str()), 260);
  ::RegSetValueExA(m_key.Get(), "TooLong", 0, REG_SZ, reinterpret_cast<const BYTE*>(str260.c_str()), 261);
  // Stored without its terminator: it would fill the whole read and end nowhere.
  ::RegSetValueExA(m_key.Get(), "Unterminated", 0, REG_SZ, reinterpret_cast<const BYTE*>(str260.data()), 260);
  ::RegSetValueExA(m_key.Get(), "Short", 0, REG_SZ, reinterpret_cast<const BYTE*>("abc"), 3);

  char szOut[300];
  std::memset(szOut, '#', sizeof szOut);
  EXPECT_EQ(1, CLSPGlobals::OwnerRegQueryValueEx(m_key.Get(), "Fits", szOut));
  EXPECT_EQ(str259, std::string(szOut));
  EXPECT_EQ('#', szOut[260]);
  std::memset(szOut, '#', sizeof szOut);
  for (const char* szName : {"TooLong", "Unterminated", "Absent"}) {
    EXPECT_EQ(0, CLSPGlobals::OwnerRegQueryValueEx(m_key.Get(), szName, szOut)) << szName;
    EXPECT_EQ(std::string(sizeof szOut, '#'), std::string(szOut, sizeof szOut)) << szName;
  }
  EXPECT_EQ(1, CLSPGlobals::OwnerRegQueryValueEx(m_key.Get(), "Short", szOut));
  EXPECT_STREQ("abc", szOut);
  EXPECT_EQ(0, CLSPGlobals::OwnerRegQueryValueEx(m_key.Get(), "Short", nullptr));
}

}  // namespace
