// The settings store against the real registry: the product key of the current
// user and the Windows start-up key. Every test leaves both as it found them.
#include <gtest/gtest.h>
#include <shlwapi.h>

#include <cstring>
#include <string>
#include <vector>

#include "console/settings/ConsoleSettings_win.h"
#include "console/settings/store/RegistryStoreKey_win.h"
#include "console/settings/store/RegistryValueData.h"
#include "console/settings/store/RegistryValues_win.h"
#include "console/settings/store/SettingsStore_win.h"
#include "settings/FaultyStoreKey.h"
#include "shared/Policies.h"
#include "support/TempFolder_win.h"

namespace {

constexpr const char* kLanguageValueName = "7665787185657169";  // "LANGUAGE" coded

struct SRawValue {
  bool bFound = false;
  DWORD dwType = 0;
  std::vector<BYTE> bytes;
};

SRawValue RawValue(const std::string& strKey, const char* szName) {
  SRawValue value;
  CRegCloseKey key;
  if (::RegOpenKeyExA(HKEY_CURRENT_USER, strKey.c_str(), 0, KEY_READ, key.Receive()) != ERROR_SUCCESS) return value;
  // Wide read: the stored size, with no terminator added on the way.
  std::wstring wstrName(szName, szName + std::strlen(szName));
  DWORD cbData = 0;
  if (::RegQueryValueExW(key.Get(), wstrName.c_str(), nullptr, &value.dwType, nullptr, &cbData) != ERROR_SUCCESS)
    return value;
  value.bytes.resize(cbData);
  ::RegQueryValueExW(key.Get(), wstrName.c_str(), nullptr, nullptr, value.bytes.data(), &cbData);
  value.bFound = true;
  return value;
}

// A text value as stored: REG_SZ, written with the text's length. Windows adds the
// terminator itself when the byte after the data is zero, so it may be there.
void ExpectStoredText(const std::string& strKey, const char* szName, const std::string& strText) {
  const SRawValue value = RawValue(strKey, szName);
  ASSERT_TRUE(value.bFound) << strKey << " " << szName;
  EXPECT_EQ(static_cast<DWORD>(REG_SZ), value.dwType) << szName;
  std::string strStored;  // stored as UTF-16
  for (std::size_t i = 0; i + 1 < value.bytes.size(); i += 2) strStored += static_cast<char>(value.bytes[i]);
  if (!strText.empty() && strStored.size() == strText.size() + 1 && strStored.back() == 0) strStored.pop_back();
  EXPECT_EQ(strText, strStored) << szName;
}

void ExpectStoredNumber(const std::string& strKey, const char* szName, std::uint32_t nNumber) {
  const SRawValue value = RawValue(strKey, szName);
  ASSERT_TRUE(value.bFound) << szName;
  EXPECT_EQ(static_cast<DWORD>(REG_BINARY), value.dwType) << szName;
  const std::vector<BYTE> expected = {BYTE(nNumber), BYTE(nNumber >> 8), BYTE(nNumber >> 16), BYTE(nNumber >> 24)};
  EXPECT_EQ(expected, value.bytes) << szName;
}

bool KeyExists(const char* szPath) {
  CRegCloseKey key;
  return ::RegOpenKeyExA(HKEY_CURRENT_USER, szPath, 0, KEY_READ, key.Receive()) == ERROR_SUCCESS;
}

void SetRawValue(const char* szKey, const char* szName, DWORD dwType, const void* pData, DWORD cbData,
                 HKEY hRoot = HKEY_CURRENT_USER) {
  CRegCloseKey key;
  ASSERT_EQ(ERROR_SUCCESS,
            ::RegCreateKeyExA(hRoot, szKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.Receive(), nullptr));
  ASSERT_EQ(ERROR_SUCCESS, ::RegSetValueExA(key.Get(), szName, 0, dwType, static_cast<const BYTE*>(pData), cbData));
}

void RemoveProductKeys() {
  for (const char* szKey : {"Hookwarden", "Hookwarden.Saving", "Hookwarden.Complete"}) {
    CRegCloseKey company;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, kCompanyKeyPath, 0, KEY_ALL_ACCESS, company.Receive()) == ERROR_SUCCESS)
      ::SHDeleteKeyA(company.Get(), szKey);
  }
}

CRegCloseKey OpenCompanyKey() {
  CRegCloseKey key;
  ::RegOpenKeyExA(HKEY_CURRENT_USER, kCompanyKeyPath, 0, KEY_ALL_ACCESS, key.Receive());
  return key;
}

// The company key, for saves whose changes are counted and can be made to fail.
struct SFaultyCompanyKey {
  CRegCloseKey companyKey = OpenCompanyKey();
  CRegistryStoreKey company{companyKey.Get()};
  SChangeFault fault;
  CFaultyStoreKey key{company, fault};
};

std::string RunValueText() {
  CRegCloseKey run;
  if (::RegOpenKeyExA(HKEY_CURRENT_USER, kStartupRunKeyPath, 0, KEY_READ, run.Receive()) != ERROR_SUCCESS)
    return "<no key>";
  char szData[600] = {};
  DWORD cbData = sizeof(szData) - 1;
  if (::RegQueryValueExA(run.Get(), "Hookwarden", nullptr, nullptr, reinterpret_cast<BYTE*>(szData), &cbData) !=
      ERROR_SUCCESS)
    return "<none>";
  return szData;
}

class SettingsStore : public ::testing::Test {
 protected:
  void SetUp() override {
    RemoveProductKeys();
    RemoveRunValue();
  }
  void TearDown() override {
    RemoveProductKeys();
    RemoveRunValue();
    ::RegDeleteKeyA(HKEY_CURRENT_USER, kCompanyKeyPath);  // only when empty
  }
  static void RemoveRunValue() {
    CRegCloseKey run;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, kStartupRunKeyPath, 0, KEY_ALL_ACCESS, run.Receive()) == ERROR_SUCCESS)
      ::RegDeleteValueA(run.Get(), "Hookwarden");
  }

  CTempFolder m_folder;
};

// Every stored field of the application object, for comparing whole states.
std::string StateOf(const CConsoleSettings& app) {
  const COverviewSettings& o = app.m_overview;
  return app.m_strLanguage + "|" + std::to_string(o.m_nNoOfBlockedInstructions) + "|" +
         std::to_string(o.m_nNoOfBlockedInstructionsHaveHighRating) + "|" + std::to_string(o.m_nNoOfEmailProtection) +
         "|" + std::to_string(o.m_nNoOfWebProtection) + "|" + std::to_string(o.m_nLoadwithWindowsStartup) + "|" +
         o.m_strPassword + "|" + std::to_string(o.m_nIsLogin) + "|" + std::to_string(o.m_nCheckVer) + "|" +
         std::to_string(o.m_nLoadSplashScreen);
}

void FillWithNonDefaults(CConsoleSettings& app, int nBase) {
  app.m_strLanguage = nBase % 2 ? "GERMAN" : "ENGLISH";
  app.m_overview.m_nNoOfBlockedInstructions = nBase + 1;
  app.m_overview.m_nNoOfBlockedInstructionsHaveHighRating = nBase + 2;
  app.m_overview.m_nNoOfEmailProtection = nBase + 3;
  app.m_overview.m_nNoOfWebProtection = -nBase - 4;
  app.m_overview.m_nLoadwithWindowsStartup = 0;
  app.m_overview.m_strPassword = "65666768697071" + std::to_string(nBase);
  app.m_overview.m_nCheckVer = 0;
  app.m_overview.m_nLoadSplashScreen = 0;
}

TEST_F(SettingsStore, FirstStartWithoutProductKeyKeepsEveryDefault) {
  CConsoleSettings app(m_folder.c_str());
  static_cast<void>(LoadSettings(app));
  EXPECT_EQ("English|0|0|0|0|1||0|1|1", StateOf(app));
  EXPECT_FALSE(KeyExists(kProductKeyPath));

  // The start-up write creates the key with the application folder; no shipped
  // definitions file: an empty version.
  WriteStartupValues(app);
  ExpectStoredText(kProductKeyPath, "App Path", m_folder.Path());
  ExpectStoredText(kProductKeyPath, "DefnsVersion", "");
  EXPECT_FALSE(RawValue(kProductKeyPath, kLanguageValueName).bFound);

  // Start with Windows is on: the Run value starts the console hidden.
  EXPECT_EQ(RESULT_SUCCESS, UpdateStartupValue(app).Code());
  EXPECT_EQ(std::string(app.GetModulePath()) + " -min", RunValueText());
  ExpectStoredText(kStartupRunKeyPath, "Hookwarden", std::string(app.GetModulePath()) + " -min");

  static_cast<void>(LoadSettings(app));
  EXPECT_EQ("English|0|0|0|0|1||0|1|1", StateOf(app));
}

TEST_F(SettingsStore, StartupWriteStoresTheDefinitionsVersionOfTheShippedFile) {
  WriteFileBytes(m_folder.Path() + "\\hkwdn1.hwd", std::string("12/08/2026    \r\n") + std::string(64, '\x5A'));
  CConsoleSettings app(m_folder.c_str());
  EXPECT_EQ("12/08/2026", app.m_overview.m_strDefnsVersion);
  WriteStartupValues(app);
  ExpectStoredText(kProductKeyPath, "DefnsVersion", "12/08/2026");

  WriteFileBytes(m_folder.Path() + "\\hkwdn1.hwd", "2026/12/08    \r\n");
  CConsoleSettings badHeader(m_folder.c_str());
  EXPECT_EQ("", badHeader.m_overview.m_strDefnsVersion);
}

TEST_F(SettingsStore, SaveWritesEveryValueInItsStoredForm) {
  CConsoleSettings app(m_folder.c_str());
  WriteStartupValues(app);
  FillWithNonDefaults(app, 0x01020300);
  app.m_overview.m_nIsLogin = 1;
  app.m_strLanguage = "German";
  ASSERT_EQ(RESULT_SUCCESS, SaveAllSettings(app).Code());

  ExpectStoredText(kProductKeyPath, kLanguageValueName, "716982776578");
  ExpectStoredText(kProductKeyPath, "App Path", m_folder.Path());
  ExpectStoredText(kProductKeyPath, "DefnsVersion", "");
  const std::string strOverview = std::string(kProductKeyPath) + "\\Overview";
  ExpectStoredNumber(strOverview, "NoOfBlockedInstructions", 0x01020301);
  ExpectStoredNumber(strOverview, "NoOfBlockedInstructionsHaveHighRating", 0x01020302);
  ExpectStoredNumber(strOverview, "NoOfEmailProtection", 0x01020303);
  ExpectStoredNumber(strOverview, "NoOfWebProtection", static_cast<std::uint32_t>(-0x01020304));
  ExpectStoredNumber(strOverview, "LoadwithWindowsStartup", 0);
  ExpectStoredText(strOverview, "Password", "6566676869707116909056");
  // Logged in, yet stored logged out: a login lasts for one run only.
  ExpectStoredNumber(strOverview, "IsLogin", 0);
  ExpectStoredNumber(strOverview, "CheckVer", 0);
  ExpectStoredNumber(strOverview, "LoadSplashScreen", 0);

  // Nothing of the save is left beside the product key.
  EXPECT_FALSE(KeyExists("Software\\Corvinth\\Hookwarden.Saving"));
  EXPECT_FALSE(KeyExists("Software\\Corvinth\\Hookwarden.Complete"));
}

TEST_F(SettingsStore, LoadAfterSaveGivesTheSameStateWithTheLanguageUpperCased) {
  CConsoleSettings app(m_folder.c_str());
  FillWithNonDefaults(app, 40);
  app.m_strLanguage = "English";
  WriteStartupValues(app);
  ASSERT_EQ(RESULT_SUCCESS, SaveAllSettings(app).Code());

  CConsoleSettings loaded(m_folder.c_str());
  static_cast<void>(LoadSettings(loaded));
  app.m_strLanguage = "ENGLISH";
  EXPECT_EQ(StateOf(app), StateOf(loaded));

  // An empty password is stored with size 0 and read back as no password.
  loaded.m_overview.m_strPassword.clear();
  ASSERT_EQ(RESULT_SUCCESS, SaveAllSettings(loaded).Code());
  ExpectStoredText(std::string(kProductKeyPath) + "\\Overview", "Password", "");
  CConsoleSettings again(m_folder.c_str());
  static_cast<void>(LoadSettings(again));
  EXPECT_EQ(StateOf(loaded), StateOf(again));
}

TEST_F(SettingsStore, SaveWithoutTheCompanyKeySavesNothing) {
  CConsoleSettings app(m_folder.c_str());
  ::RegDeleteKeyA(HKEY_CURRENT_USER, kCompanyKeyPath);
  ASSERT_FALSE(KeyExists(kCompanyKeyPath));
  EXPECT_NE(RESULT_SUCCESS, SaveAllSettings(app).Code());
  EXPECT_FALSE(KeyExists(kCompanyKeyPath));
}

TEST_F(SettingsStore, FullSaveLeavesNoStaleValuesOrSubkeys) {
  CConsoleSettings app(m_folder.c_str());
  WriteStartupValues(app);
  const BYTE one[] = {1, 0, 0, 0};
  SetRawValue("Software\\Corvinth\\Hookwarden\\MailSafe\\MailSafeItem5", "Count", REG_BINARY, one, 4);
  SetRawValue("Software\\Corvinth\\Hookwarden\\Overview", "Stray", REG_BINARY, one, 4);
  SetRawValue(kProductKeyPath, "Stray", REG_SZ, "x", 1);
  ASSERT_EQ(RESULT_SUCCESS, SaveAllSettings(app).Code());
  EXPECT_FALSE(KeyExists("Software\\Corvinth\\Hookwarden\\MailSafe\\MailSafeItem5"));
  EXPECT_FALSE(RawValue(std::string(kProductKeyPath) + "\\Overview", "Stray").bFound);
  EXPECT_FALSE(RawValue(kProductKeyPath, "Stray").bFound);
  EXPECT_TRUE(RawValue(std::string(kProductKeyPath) + "\\Overview", "CheckVer").bFound);
}

TEST_F(SettingsStore, LoadReadsEachValueTheWayItsConventionSays) {
  const char* szOverview = "Software\\Corvinth\\Hookwarden\\Overview";
  // A counter longer than 4 bytes: its first 4; a shorter one: the bytes it has.
  const BYTE eight[] = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08};
  SetRawValue(szOverview, "NoOfBlockedInstructions", REG_BINARY, eight, sizeof(eight));
  SetRawValue(szOverview, "NoOfEmailProtection", REG_BINARY, eight, 1);
  // A value larger than the read buffer cannot be read: the default stays.
  const std::vector<BYTE> big(kRegistryReadBufferSize + 1, 0x11);
  SetRawValue(szOverview, "NoOfWebProtection", REG_BINARY, big.data(), static_cast<DWORD>(big.size()));
  // Flags keep their lowest byte only.
  const BYTE highByteOnly[] = {0x00, 0x01, 0x00, 0x00};
  SetRawValue(szOverview, "LoadwithWindowsStartup", REG_BINARY, highByteOnly, 4);
  const BYTE one[] = {0x01, 0x00, 0x00, 0x00};
  SetRawValue(szOverview, "IsLogin", REG_BINARY, one, 4);
  // An empty text keeps the field; an undecodable language keeps "English".
  SetRawValue(szOverview, "Password", REG_SZ, "", 0);
  SetRawValue(kProductKeyPath, kLanguageValueName, REG_SZ, "00", 2);

  CConsoleSettings app(m_folder.c_str());
  app.m_overview.m_strPassword = "6566";
  static_cast<void>(LoadSettings(app));
  EXPECT_EQ(0x04030201, app.m_overview.m_nNoOfBlockedInstructions);
  EXPECT_EQ(0x01, app.m_overview.m_nNoOfEmailProtection);
  EXPECT_EQ(0, app.m_overview.m_nNoOfWebProtection);
  EXPECT_EQ(0, app.m_overview.m_nLoadwithWindowsStartup);
  EXPECT_EQ(0, app.m_overview.m_nIsLogin);  // never logged in from the store
  EXPECT_EQ("6566", app.m_overview.m_strPassword);
  EXPECT_EQ("English", app.m_strLanguage);

  // A text stored with a terminator, or longer than the buffer.
  SetRawValue(szOverview, "Password", REG_SZ,
              "6566\0"
              "99",
              7);
  SetRawValue(kProductKeyPath, kLanguageValueName, REG_SZ, std::string(300, '7').c_str(), 300);
  CConsoleSettings other(m_folder.c_str());
  static_cast<void>(LoadSettings(other));
  EXPECT_EQ("6566", other.m_overview.m_strPassword);
  EXPECT_EQ("English", other.m_strLanguage);
}

TEST_F(SettingsStore, StartupValueFollowsLoadWithWindowsStartup) {
  CConsoleSettings app(m_folder.c_str());
  const std::string strCommand = std::string(app.GetModulePath()) + " -min";
  EXPECT_EQ(RESULT_SUCCESS, SetStartupValue("Hookwarden", "by hand", false).Code());
  EXPECT_EQ("by hand", RunValueText());

  // Off: the value goes, even one added by hand; removing it again fails.
  app.m_overview.m_nLoadwithWindowsStartup = 0;
  EXPECT_EQ(RESULT_SUCCESS, UpdateStartupValue(app).Code());
  EXPECT_EQ("<none>", RunValueText());
  EXPECT_NE(RESULT_SUCCESS, UpdateStartupValue(app).Code());

  app.m_overview.m_nLoadwithWindowsStartup = 7;
  EXPECT_EQ(RESULT_SUCCESS, UpdateStartupValue(app).Code());
  EXPECT_EQ(strCommand, RunValueText());

  // Stored off, the next start removes it.
  app.m_overview.m_nLoadwithWindowsStartup = 0;
  WriteStartupValues(app);
  ASSERT_EQ(RESULT_SUCCESS, SaveAllSettings(app).Code());
  CConsoleSettings next(m_folder.c_str());
  static_cast<void>(LoadSettings(next));
  EXPECT_EQ(0, next.m_overview.m_nLoadwithWindowsStartup);
  EXPECT_EQ(RESULT_SUCCESS, UpdateStartupValue(next).Code());
  EXPECT_EQ("<none>", RunValueText());
}

TEST_F(SettingsStore, StartupValueNeverCreatesTheRunKey) {
  // Only possible when the Run key holds nothing else; it is put back afterwards.
  CRegCloseKey run;
  ASSERT_EQ(ERROR_SUCCESS, ::RegOpenKeyExA(HKEY_CURRENT_USER, kStartupRunKeyPath, 0, KEY_ALL_ACCESS, run.Receive()));
  DWORD cValues = 0, cSubKeys = 0;
  ::RegQueryInfoKeyA(run.Get(), nullptr, nullptr, nullptr, &cSubKeys, nullptr, nullptr, &cValues, nullptr, nullptr,
                     nullptr, nullptr);
  run.Reset();
  if (cValues != 0 || cSubKeys != 0) GTEST_SKIP() << "the Run key is in use";
  ASSERT_EQ(ERROR_SUCCESS, ::RegDeleteKeyA(HKEY_CURRENT_USER, kStartupRunKeyPath));
  EXPECT_NE(RESULT_SUCCESS, SetStartupValue("Hookwarden", "x", false).Code());
  EXPECT_FALSE(KeyExists(kStartupRunKeyPath));
  EXPECT_NE(RESULT_SUCCESS, SetStartupValue("Hookwarden", nullptr, true).Code());
  ASSERT_EQ(ERROR_SUCCESS, ::RegCreateKeyExA(HKEY_CURRENT_USER, kStartupRunKeyPath, 0, nullptr, 0, KEY_ALL_ACCESS,
                                             nullptr, run.Receive(), nullptr));
}

// The web list and the alert log as stored: entries in order with what changes.
std::string ListsStateOf(const CConsoleSettings& app) {
  std::string str;
  const CWebSiteBlockingList& sites = app.m_webSiteBlockingList;
  for (int i = 0; i < sites.GetCount(); ++i)
    str += sites.EntryAt(i)->strStrictedData + "=" + std::to_string(sites.EntryAt(i)->nAction) + ",";
  const CAlertLogSettings& log = app.m_alertLog;
  for (int i = 0; i < log.GetEntryCount(); ++i)
    str += log.EntryAt(i)->strStrictedData + "*" + std::to_string(log.EntryAt(i)->nCount) + ",";
  return str;
}

void FillLists(CConsoleSettings& app, const std::vector<std::string>& sites, const std::vector<int>& logCounts) {
  for (const std::string& strSite : sites) {
    CWebSiteItem item;
    item.kind = EEntryKind::Url;
    item.strStrictedData = strSite;
    app.m_webSiteBlockingList.AppendEntry(item);
  }
  for (std::size_t i = 0; i < logCounts.size(); ++i) {
    CLogEntryDetails entry;
    entry.strStrictedData = "event" + std::to_string(i);
    entry.nCount = logCounts[i];
    app.m_alertLog.AppendEntry(entry);
  }
}

// A save that fails, or stops as if the process had ended, at any change it makes:
// the next start (start-up write and load) finds either the old or the new state,
// never a mix and never nothing. The failure is named: the registry's own reason.
TEST_F(SettingsStore, InterruptedSaveLeavesTheOldOrTheNewSettings) {
  CConsoleSettings oldState(m_folder.c_str());
  FillWithNonDefaults(oldState, 10);
  FillLists(oldState, {"http://a.example/", "http://b.example/", "http://c.example/"}, {1});
  CConsoleSettings newState(m_folder.c_str());
  FillWithNonDefaults(newState, 21);
  newState.m_overview.m_nLoadSplashScreen = 1;
  // An entry removed, an action changed, one appended, a count raised, a log entry added.
  FillLists(newState, {"http://b.example/", "http://c.example/", "http://d.example/"}, {2, 1});
  newState.m_webSiteBlockingList.SetAction(1, 1);

  WriteStartupValues(oldState);
  ASSERT_EQ(RESULT_SUCCESS, SaveAllSettings(oldState).Code());
  SFaultyCompanyKey faulty;
  ASSERT_TRUE(faulty.companyKey.Get());
  ASSERT_EQ(RESULT_SUCCESS, SaveAllSettings(newState, faulty.key).Code());
  const int nChanges = faulty.fault.nChanges;
  ASSERT_GT(nChanges, 10);

  for (bool bStop : {true, false}) {
    bool bNewSeen = false;
    for (int nAllowed = 0; nAllowed < nChanges; ++nAllowed) {
      SCOPED_TRACE(std::string(bStop ? "stopped" : "failed") + " at change " + std::to_string(nAllowed));
      ASSERT_EQ(RESULT_SUCCESS, SaveAllSettings(oldState).Code());
      faulty.fault.Set(nAllowed, bStop);
      const CResult saved = SaveAllSettings(newState, faulty.key);
      EXPECT_FALSE(saved.IsOk());
      EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED), saved.Code());

      CConsoleSettings restarted(m_folder.c_str());
      WriteStartupValues(restarted);
      static_cast<void>(LoadSettings(restarted));
      const std::string strState = StateOf(restarted) + ListsStateOf(restarted);
      if (strState == StateOf(newState) + ListsStateOf(newState)) {
        bNewSeen = true;
      } else {
        EXPECT_EQ(StateOf(oldState) + ListsStateOf(oldState), strState);
        // Once the new state has been complete, a later stop keeps it.
        EXPECT_FALSE(bNewSeen && bStop);
      }
      ExpectStoredText(kProductKeyPath, "App Path", m_folder.Path());
      EXPECT_FALSE(KeyExists("Software\\Corvinth\\Hookwarden.Journal"));
    }
    // The last change is the clean-up after the new state is in place.
    EXPECT_TRUE(bNewSeen);
  }
}

// The console's own write between saves (the time of an update check) leaves the
// next save to what changed; another program's change makes it read the key
// again, also when an own write came after it, and what that program stored for
// the values the console only keeps is neither removed nor overwritten.
TEST_F(SettingsStore, OnlyAnotherProgramsChangeIsReadAgainAndItStands) {
  CConsoleSettings app(m_folder.c_str());
  FillLists(app, {"http://a.example/"}, {1});
  WriteStartupValues(app);
  ASSERT_EQ(RESULT_SUCCESS, SaveAllSettings(app).Code());
  SFaultyCompanyKey faulty;
  ASSERT_TRUE(faulty.companyKey.Get());

  app.m_strLastUpdateCheck = "2026-12-09T10:00:00Z";
  ASSERT_EQ(RESULT_SUCCESS, WriteProductText(app, kLastUpdateCheckValue, app.m_strLastUpdateCheck).Code());
  app.m_overview.m_nNoOfWebProtection = 5;
  ASSERT_EQ(RESULT_SUCCESS, SaveAllSettings(app, faulty.key).Code());
  EXPECT_EQ(0, faulty.fault.nKeysRead);
  ExpectStoredText(kProductKeyPath, kLastUpdateCheckValue, "2026-12-09T10:00:00Z");

  const std::string strAddress = "https://admin.example/update.txt";
  SetRawValue(kProductKeyPath, kUpdateAddressValue, REG_SZ, strAddress.c_str(), static_cast<DWORD>(strAddress.size()));
  const DWORD dwInterval = 30;
  SetRawValue(kProductKeyPath, kUpdateIntervalValue, REG_DWORD, &dwInterval, sizeof dwInterval);
  app.m_strLastUpdateCheck = "2026-12-09T11:00:00Z";
  ASSERT_EQ(RESULT_SUCCESS, WriteProductText(app, kLastUpdateCheckValue, app.m_strLastUpdateCheck).Code());
  app.m_overview.m_nNoOfWebProtection = 6;
  ASSERT_EQ(RESULT_SUCCESS, SaveAllSettings(app, faulty.key).Code());
  EXPECT_GT(faulty.fault.nKeysRead, 0);
  ExpectStoredText(kProductKeyPath, kUpdateAddressValue, strAddress);
  EXPECT_TRUE(RawValue(kProductKeyPath, kUpdateIntervalValue).bFound);
  EXPECT_EQ("30", app.m_strUpdateInterval);
  ExpectStoredText(kProductKeyPath, kLastUpdateCheckValue, "2026-12-09T11:00:00Z");
  ExpectStoredNumber(std::string(kProductKeyPath) + "\\Overview", "NoOfWebProtection", 6);
}

// Policy values of the machine and the user, removed again at the end.
struct SPolicyKeys {
  ~SPolicyKeys() {
    for (HKEY hRoot : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) ::SHDeleteKeyA(hRoot, "Software\\Policies\\Corvinth");
  }
  static void Text(HKEY hRoot, const char* szName, const std::string& strText) {
    SetRawValue(kPoliciesKeyPath, szName, REG_SZ, strText.c_str(), static_cast<DWORD>(strText.size() + 1), hRoot);
  }
  static void Number(HKEY hRoot, const char* szName, DWORD dwValue) {
    SetRawValue(kPoliciesKeyPath, szName, REG_DWORD, &dwValue, sizeof dwValue, hRoot);
  }
};

// The machine's policy wins over the user's, a value of another type or out of
// bounds counts as absent, and a save keeps writing the user's own values.
TEST_F(SettingsStore, PoliciesDecideOverTheUsersSettingsWithoutBeingSaved) {
  SPolicyKeys policies;
  CConsoleSettings user(m_folder.c_str());
  user.m_strUpdateAddress = "https://user.example/update.txt";
  user.m_overview.m_nCheckWebTraffic = 0;
  WriteStartupValues(user);
  ASSERT_EQ(RESULT_SUCCESS, SaveAllSettings(user).Code());
  SPolicyKeys::Text(HKEY_LOCAL_MACHINE, "UpdateAddress", "https://machine.example/update.txt");
  SPolicyKeys::Text(HKEY_CURRENT_USER, "UpdateAddress", "https://user-policy.example/update.txt");
  SPolicyKeys::Text(HKEY_LOCAL_MACHINE, "UpdateInterval", "20");
  SPolicyKeys::Number(HKEY_CURRENT_USER, "UpdateInterval", 30);
  SPolicyKeys::Number(HKEY_LOCAL_MACHINE, "WebGuardOn", 1);
  SPolicyKeys::Number(HKEY_LOCAL_MACHINE, "ArchiveLogPeriodicDays", 0);

  CConsoleSettings app(m_folder.c_str());
  static_cast<void>(LoadSettings(app));
  EXPECT_EQ("https://machine.example/update.txt", app.EffectiveUpdateAddress());
  EXPECT_EQ("30", app.EffectiveUpdateInterval());
  EXPECT_TRUE(app.IsWebGuardOn());
  EXPECT_FALSE(app.m_policies.IsSet(EPolicy::ArchiveLogDays));
  EXPECT_EQ(0, app.m_overview.m_nCheckWebTraffic);

  app.m_overview.m_nNoOfWebProtection = 5;  // a change, so that the save writes
  ASSERT_EQ(RESULT_SUCCESS, SaveAllSettings(app).Code());
  ExpectStoredText(kProductKeyPath, "UpdateAddress", "https://user.example/update.txt");
  ExpectStoredNumber(std::string(kProductKeyPath) + "\\Overview", "CheckWebTraffic", 0);
  for (const SPolicyRow& row : kPolicyRows) {
    if (row.ePolicy == EPolicy::UpdateAddress) continue;
    EXPECT_FALSE(RawValue(kProductKeyPath, row.szValueName).bFound) << row.szValueName;
  }
}

}  // namespace
