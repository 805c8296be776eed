// What the user stored survives whatever happens around the real console: a
// session that ends while it starts, a save that throws, the settings changed or
// removed by another program while it runs, a save that cannot be applied, and
// values stored with a type the console does not write.
#include "core/ConsoleProcess_win.h"
#include "console/settings/Languages_win.h"
#include "console/settings/store/SettingsStore_win.h"

namespace {

constexpr const char* kProductKey = "Software\\Corvinth\\Hookwarden";
constexpr int kStoredEntries = 10000;

// Web entries as the console stores them, each Block.
void StoreWebEntries(int nEntries) {
  const std::string strList = std::string(kProductKey) + "\\WebSiteBlocking";
  for (int i = 0; i < nEntries; ++i) {
    CRegCloseKey item;
    const std::string strItem = strList + "\\WebSiteBlockingItem" + std::to_string(i);
    ASSERT_EQ(ERROR_SUCCESS, ::RegCreateKeyExA(HKEY_CURRENT_USER, strItem.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                               nullptr, item.Receive(), nullptr));
    const std::string strAddress =
        "10." + std::to_string(i / 65536 % 256) + "." + std::to_string(i / 256 % 256) + "." + std::to_string(i % 256);
    const DWORD dwBlock = 1;
    ::RegSetValueExA(item.Get(), "Action", 0, REG_BINARY, reinterpret_cast<const BYTE*>(&dwBlock), sizeof(dwBlock));
    for (const char* szName : {"ScamSite", "IPAddress", "StrictedData"})
      ::RegSetValueExA(item.Get(), szName, 0, REG_SZ, reinterpret_cast<const BYTE*>(strAddress.c_str()),
                       static_cast<DWORD>(strAddress.size() + 1));
  }
  const DWORD dwCount = static_cast<DWORD>(nEntries);
  ::SHSetValueA(HKEY_CURRENT_USER, strList.c_str(), "WebSiteBlockingItems No", REG_BINARY, &dwCount, sizeof(dwCount));
}

void TurnWebAlertsOff() {
  const DWORD dwOff = 0;  // a listed request is then blocked without asking
  ::SHSetValueA(HKEY_CURRENT_USER, "Software\\Corvinth\\Hookwarden\\AlertandLog\\EventAlert1", "ShowAlert", REG_BINARY,
                &dwOff, sizeof(dwOff));
}

bool JournalIsGone() {
  return RegistryText("Software\\Corvinth\\Hookwarden.Journal", "Parts") == "<none>";
}

// A listed request, blocked without an alert, and the save that follows it.
void BlockListedRequestAndWaitForTheSave(long nExpectedLogCount) {
  CCloseHandle request = StartChild("provider-standin.exe", kListedHostRequest);
  EXPECT_EQ(0, ExitCodeWithin(request, kWaitMs));
  EXPECT_TRUE(WaitUntil(
      [&] { return StoredNumber("AlertandLog\\LogEntryDetails0", "Count") == nExpectedLogCount && JournalIsGone(); },
      kWaitMs))
      << "log count " << StoredNumber("AlertandLog\\LogEntryDetails0", "Count") << ", expected " << nExpectedLogCount;
}

class SettingsSafetyTest : public ConsoleTest {};

// The end of the session can reach the console while its tray icon is made, before
// the settings are loaded: it must then end without a save, which would compare
// the empty settings with the stored ones and delete them all.
TEST_F(SettingsSafetyTest, SessionEndDuringStartUpLeavesEveryStoredEntry) {
  StoreWebEntries(kStoredEntries);
  StorePassword("secret1");
  // Every save writes 0 here: a 5 left means that the console ended unsaved.
  const DWORD dwMarker = 5;
  bool bLandedBeforeLoad = false;
  for (int nAttempt = 0; nAttempt < 10 && !bLandedBeforeLoad; ++nAttempt) {
    ::SHSetValueA(HKEY_CURRENT_USER, "Software\\Corvinth\\Hookwarden\\Overview", "IsLogin", REG_BINARY, &dwMarker,
                  sizeof(dwMarker));
    CConsole console(m_strApp, "-min");
    // From the moment its first window is there, every window hears the end.
    WaitUntil(
        [&] {
          if (!console.IsRunning()) return true;
          console.EndSession();
          return false;
        },
        30000);
    EXPECT_EQ(259, console.WaitForExit());
    bLandedBeforeLoad = StoredNumber("Overview", "IsLogin") == 5;
    ASSERT_EQ(kStoredEntries, StoredNumber("WebSiteBlocking", "WebSiteBlockingItems No")) << "attempt " << nAttempt;
  }
  if (!bLandedBeforeLoad) GTEST_SKIP() << "no end of the session reached the console before its settings load";
  EXPECT_EQ("10.0.39.15",
            RegistryText("Software\\Corvinth\\Hookwarden\\WebSiteBlocking\\WebSiteBlockingItem9999", "StrictedData"));
  EXPECT_EQ(EncodeNameCode("secret1"), RegistryText("Software\\Corvinth\\Hookwarden\\Overview", "Password"));
}

TEST_F(SettingsSafetyTest, SaveThatThrowsAtExitIsNamedAndTheConsoleStillEnds) {
  ::SetEnvironmentVariableA(kThrowingSaveVariable, "1");
  CConsole console(m_strApp, "");
  ::SetEnvironmentVariableA(kThrowingSaveVariable, nullptr);
  const HWND hMain = console.WaitForMainWindow();
  ASSERT_NE(nullptr, hMain);
  ::PostMessageA(hMain, WM_COMMAND, ID_TRAY_EXIT, 0);
  CScreenUser user = console.User();
  EXPECT_EQ(std::string(kSaveFailedText) + "an internal error (the save was made to fail)", user.Text(ID_MSG_TEXT));
  user.Press(ID_MSG_OK);
  EXPECT_EQ(259, console.WaitForExit());
  EXPECT_EQ("", user.strFailure);
}

// The product key removed (an uninstaller) and made anew with the two values of
// the engine library's look-up while the console runs: the next save writes the
// whole settings, not just what changed since its previous save.
TEST_F(SettingsSafetyTest, ProductKeyMadeAnewWhileRunningIsSavedWhole) {
  TurnWebAlertsOff();
  CConsole console(m_strApp, "-min");
  ASSERT_NE(nullptr, console.WaitForMainWindow());
  BlockListedRequestAndWaitForTheSave(1);
  ASSERT_EQ(ERROR_SUCCESS, ::SHDeleteKeyA(HKEY_CURRENT_USER, kProductKey));
  ::SHSetValueA(HKEY_CURRENT_USER, kProductKey, "App Path", REG_SZ, m_strApp.c_str(),
                static_cast<DWORD>(m_strApp.size() + 1));
  const std::string strData = GetUserDataFolder();
  ::SHSetValueA(HKEY_CURRENT_USER, kProductKey, "Data Path", REG_SZ, strData.c_str(),
                static_cast<DWORD>(strData.size() + 1));

  BlockListedRequestAndWaitForTheSave(2);
  EXPECT_EQ("192.0.2.10",
            RegistryText("Software\\Corvinth\\Hookwarden\\WebSiteBlocking\\WebSiteBlockingItem0", "StrictedData"));
  EXPECT_EQ(0, StoredNumber("AlertandLog\\EventAlert1", "ShowAlert"));
  EXPECT_EQ("69787176738372", RegistryText(kProductKey, "7665787185657169")) << "the language value";
  EXPECT_EQ(259, console.ExitThroughTray());
}

// A volatile key takes no lasting subkey: the save's journal is written and
// marked, but applying it fails until the key is replaced.
TEST_F(SettingsSafetyTest, SaveThatCannotBeAppliedIsNamedAtExitAndFinishedAtTheNextStart) {
  TurnWebAlertsOff();
  const std::string strList = std::string(kProductKey) + "\\WebSiteBlocking";
  {
    CConsole console(m_strApp, "-min");
    ASSERT_NE(nullptr, console.WaitForMainWindow());
    ::SHDeleteKeyA(HKEY_CURRENT_USER, strList.c_str());
    CRegCloseKey list;
    ASSERT_EQ(ERROR_SUCCESS, ::RegCreateKeyExA(HKEY_CURRENT_USER, strList.c_str(), 0, nullptr, REG_OPTION_VOLATILE,
                                               KEY_ALL_ACCESS, nullptr, list.Receive(), nullptr));
    CCloseHandle request = StartChild("provider-standin.exe", kListedHostRequest);
    EXPECT_EQ(0, ExitCodeWithin(request, kWaitMs));
    ASSERT_TRUE(WaitUntil([] { return !JournalIsGone(); }, kWaitMs));

    ::PostMessageA(console.WaitForMainWindow(), WM_COMMAND, ID_TRAY_EXIT, 0);
    CScreenUser user = console.User();
    EXPECT_EQ(std::string(kSaveFailedText) + SystemErrorText(ERROR_CHILD_MUST_BE_VOLATILE), user.Text(ID_MSG_TEXT));
    user.Press(ID_MSG_OK);
    EXPECT_EQ(259, console.WaitForExit());
  }
  EXPECT_FALSE(JournalIsGone());
  ::SHDeleteKeyA(HKEY_CURRENT_USER, strList.c_str());

  CConsole console(m_strApp, "-min");
  ASSERT_NE(nullptr, console.WaitForMainWindow());
  EXPECT_TRUE(JournalIsGone());
  EXPECT_EQ(1, StoredNumber("WebSiteBlocking", "WebSiteBlockingItems No"));
  EXPECT_EQ("192.0.2.10",
            RegistryText("Software\\Corvinth\\Hookwarden\\WebSiteBlocking\\WebSiteBlockingItem0", "StrictedData"));
  EXPECT_EQ(259, console.ExitThroughTray());
}

TEST_F(SettingsSafetyTest, PasswordStoredAsBytesSurvivesTheSave) {
  // Read as text, the bytes give an empty password: no login is asked.
  const BYTE abPassword[] = {0x00, 0x31, 0x32, 0x7f};
  ::SHSetValueA(HKEY_CURRENT_USER, "Software\\Corvinth\\Hookwarden\\Overview", "Password", REG_BINARY, abPassword,
                sizeof(abPassword));
  CConsole console(m_strApp, "-min");
  ASSERT_NE(nullptr, console.WaitForMainWindow());
  EXPECT_EQ(259, console.ExitThroughTray());

  BYTE abStored[8] = {};
  DWORD dwType = 0, cbStored = sizeof(abStored);
  EXPECT_EQ(ERROR_SUCCESS, ::SHGetValueA(HKEY_CURRENT_USER, "Software\\Corvinth\\Hookwarden\\Overview", "Password",
                                         &dwType, abStored, &cbStored));
  EXPECT_EQ(static_cast<DWORD>(REG_BINARY), dwType);
  ASSERT_EQ(sizeof(abPassword), cbStored);
  EXPECT_EQ(0, memcmp(abPassword, abStored, sizeof(abPassword)));
  // The save still ran: it always clears the logged-in flag.
  EXPECT_EQ(0, StoredNumber("Overview", "IsLogin"));
}

}  // namespace
