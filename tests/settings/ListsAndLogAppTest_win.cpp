// The lists and the alert log as parts of the running console: the full save and
// the settings load of the product key, the texts in the current language and the
// start-up archive check.
#include <gtest/gtest.h>
#include <shlwapi.h>
#include <windows.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "console/settings/ConsoleSettings_win.h"
#include "console/settings/ListsAndLog_win.h"
#include "console/settings/LogArchive_win.h"
#include "console/settings/store/RegistryStoreKey_win.h"
#include "console/settings/store/RegistryValues_win.h"
#include "console/settings/store/SettingsStore_win.h"
#include "settings/FaultyStoreKey.h"
#include "settings/RegistryTestKey_win.h"
#include "support/TempFolder_win.h"

namespace {

void RemoveProductKeys() {
  CRegCloseKey company;
  if (::RegOpenKeyExA(HKEY_CURRENT_USER, kCompanyKeyPath, 0, KEY_ALL_ACCESS, company.Receive()) != ERROR_SUCCESS) {
    return;
  }
  for (const char* szKey : {"Hookwarden", "Hookwarden.Saving", "Hookwarden.Complete"}) {
    ::SHDeleteKeyA(company.Get(), szKey);
  }
}

class ListsAndLogApp : public ::testing::Test {
 protected:
  void SetUp() override { RemoveProductKeys(); }
  void TearDown() override { RemoveProductKeys(); }
  CTempFolder m_folder;
};

void Fill(CConsoleSettings& app) {
  CMailSafeItem mail;
  mail.nAction = PERMISSION_BLOCK;
  mail.strStrictedData = "billing@example.net";
  mail.kind = EEntryKind::From;
  mail.nPort = 110;
  app.m_mailSafeList.AppendEntry(mail);
  app.m_mailSafeList.SetPermission(PERMISSION_ALLOW);
  CWebSiteItem web;
  web.kind = EEntryKind::HostIP;
  web.strStrictedData = "192.0.2.7";
  web.nPort = 443;
  app.m_webSiteBlockingList.AppendEntry(web);
  app.m_webSiteBlockingList.AppendEntry(web);
  app.m_webSiteBlockingList.SetProtectionState(0);
  CLogEntryDetails entry;
  entry.rating = ERating::High;
  entry.strProgram = "app.exe";
  entry.nCount = 12;
  app.m_alertLog.AppendEntry(entry);
  app.m_alertLog.SetLogViewStep(300);
  app.m_alertLog.SetCustomAlertDisplay(0, 1);
}

TEST_F(ListsAndLogApp, NewConsoleStartsWithDefaults) {
  CConsoleSettings app(m_folder.c_str());
  EXPECT_EQ(m_folder.Path() + "\\CVHookwarden.log", app.m_alertLog.GetLogFilePath());
  SYSTEMTIME today;
  ::GetLocalTime(&today);
  EXPECT_EQ(today.wYear, app.m_alertLog.GetArchiveStartTime().wYear);
  EXPECT_EQ(today.wDay, app.m_alertLog.GetArchiveStartTime().wDay);
  EXPECT_EQ(0, app.m_mailSafeList.GetCount());
  EXPECT_EQ(PERMISSION_ASK, app.m_webSiteBlockingList.GetPermission());

  // Without a product key the load keeps them.
  static_cast<void>(LoadSettings(app));
  EXPECT_EQ(m_folder.Path() + "\\CVHookwarden.log", app.m_alertLog.GetLogFilePath());
  EXPECT_EQ(1, app.m_mailSafeList.GetProtectionState());
}

TEST_F(ListsAndLogApp, FullSaveAndLoadCarryListsAndLog) {
  CConsoleSettings app(m_folder.c_str());
  WriteStartupValues(app);
  Fill(app);
  ASSERT_EQ(RESULT_SUCCESS, SaveAllSettings(app).Code());

  CConsoleSettings loaded(m_folder.c_str());
  static_cast<void>(LoadSettings(loaded));
  ASSERT_EQ(1, loaded.m_mailSafeList.GetCount());
  EXPECT_EQ("billing@example.net", loaded.m_mailSafeList.EntryAt(0)->strStrictedData);
  EXPECT_EQ(110, loaded.m_mailSafeList.EntryAt(0)->nPort);
  EXPECT_EQ(PERMISSION_BLOCK, loaded.m_mailSafeList.EntryAt(0)->nAction);
  EXPECT_EQ(PERMISSION_ALLOW, loaded.m_mailSafeList.GetPermission());
  ASSERT_EQ(2, loaded.m_webSiteBlockingList.GetCount());
  EXPECT_EQ(443, loaded.m_webSiteBlockingList.EntryAt(1)->nPort);
  EXPECT_EQ(0, loaded.m_webSiteBlockingList.GetProtectionState());
  ASSERT_EQ(1, loaded.m_alertLog.GetEntryCount());
  EXPECT_EQ(12, loaded.m_alertLog.EntryAt(0)->nCount);
  EXPECT_EQ(300, loaded.m_alertLog.GetLogViewStep());
  EXPECT_EQ(0, loaded.m_alertLog.GetShowAlert(EVENT_MAIL_PROTECTION));
  EXPECT_EQ(0, loaded.m_alertLog.GetCustomAlertChoice());

  // Entries removed in memory leave no subkeys at the next save.
  loaded.m_webSiteBlockingList.RemoveEntry(0);
  loaded.m_alertLog.Clear();
  ASSERT_EQ(RESULT_SUCCESS, SaveAllSettings(loaded).Code());
  CRegCloseKey product;
  ASSERT_EQ(ERROR_SUCCESS, ::RegOpenKeyExA(HKEY_CURRENT_USER, kProductKeyPath, 0, KEY_READ, product.Receive()));
  CRegistryStoreKey productKey(product.Get());
  EXPECT_EQ((std::vector<std::string>{"WebSiteBlockingItem0"}),
            productKey.OpenSubKey("WebSiteBlocking")->SubKeyNames());
  EXPECT_EQ((std::vector<std::string>{"EventAlert0", "EventAlert1"}),
            productKey.OpenSubKey("AlertandLog")->SubKeyNames());
}

TEST_F(ListsAndLogApp, RefusedWriteIsReportedAtEveryStep) {
  CConsoleSettings app(m_folder.c_str());
  Fill(app);
  CRegistryTestKey testKey;
  CRegistryStoreKey key(testKey.Get());
  SChangeFault fault;
  CFaultyStoreKey faultyKey(key, fault);
  for (CSettingsSubkey* pSubkey : app.GetSettingsSubkeys()) {
    const int nBefore = fault.nChanges;
    ASSERT_EQ(RESULT_SUCCESS, pSubkey->WriteToKey(faultyKey).Code());
    const int nChanges = fault.nChanges - nBefore;
    for (int nAllowed = 0; nAllowed < nChanges; ++nAllowed) {
      fault.Set(nAllowed, false);
      EXPECT_NE(RESULT_SUCCESS, pSubkey->WriteToKey(faultyKey).Code()) << "change " << nAllowed << " of " << nChanges;
    }
    fault.Set(-1, false);
  }
}

TEST_F(ListsAndLogApp, TextsInTheCurrentLanguage) {
  CConsoleSettings app(m_folder.c_str());
  EXPECT_EQ("Allow", GetPermissionText(app, PERMISSION_ALLOW));
  EXPECT_EQ("Block", GetPermissionText(app, PERMISSION_BLOCK));
  EXPECT_EQ("Ask", GetPermissionText(app, PERMISSION_ASK));
  EXPECT_EQ("", GetPermissionText(app, 3));

  for (const char* szRating : {"High", "HIGH", "Medium", "high "}) {
    CLogEntryDetails entry;
    entry.rating = RatingOfStoredText(szRating);
    app.m_alertLog.AppendEntry(entry);
  }
  RecountHighRatedEntries(app);
  EXPECT_EQ(2, app.m_overview.m_nNoOfBlockedInstructionsHaveHighRating);
}

TEST_F(ListsAndLogApp, StartupArchiveNamesTheConsole) {
  CConsoleSettings app(m_folder.c_str());
  app.m_overview.m_strConsoleVersion = "1.0.0.1";
  WriteFileBytes(app.m_alertLog.GetLogFilePath(), "log line\r\n");
  SLocalTime start = CurrentLocalTime();
  start.wMonth = static_cast<std::uint16_t>(start.wMonth == 1 ? 12 : start.wMonth - 1);
  app.m_alertLog.SetArchiveStartTime(start);
  const std::string strPath = RunStartupArchiveCheck(app);
  ASSERT_NE("", strPath);
  EXPECT_EQ(m_folder.Path() + "\\LogBackup\\", strPath.substr(0, m_folder.Path().size() + 11));
  std::ifstream file(strPath, std::ios::binary);
  std::string strContent((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  const std::string strName = strPath.substr(strPath.rfind('\\') + 1);
  EXPECT_EQ("Appliction Name: Hookwarden\r\nVersion: 1.0.0.1\r\nFile Name: " + strName + "\r\nlog line\r\n",
            strContent);
  EXPECT_EQ("", RunStartupArchiveCheck(app));  // once per period
}

}  // namespace

// Installed per machine, what the console writes lies in the user's own folder.
class UserDataFolder : public ListsAndLogApp {
 protected:
  void SetUp() override {
    ListsAndLogApp::SetUp();
    ::CreateDirectoryA(m_strApp.c_str(), nullptr);
    ::CreateDirectoryA(m_strData.c_str(), nullptr);
  }
  const std::string m_strApp = m_folder.Path() + "\\app";
  const std::string m_strData = m_folder.Path() + "\\data";
};

TEST_F(UserDataFolder, LogFileLeavesTheApplicationFolderAndTheEnginesFolderIsPublished) {
  CConsoleSettings app(m_strApp.c_str(), nullptr, m_strData.c_str());
  EXPECT_EQ(m_strData + "\\CVHookwarden.log", app.m_alertLog.GetLogFilePath());
  // A log file stored at the old place moves; one the user chose stays.
  app.m_alertLog.SetLogFileSettings(m_strApp + "\\CVHOOKWARDEN.LOG", 1, 7);
  app.MoveLogFileOutOfAppFolder();
  EXPECT_EQ(m_strData + "\\CVHookwarden.log", app.m_alertLog.GetLogFilePath());
  EXPECT_EQ(1, app.m_alertLog.GetArchiveOn());
  EXPECT_EQ(7, app.m_alertLog.GetArchivePeriod());
  app.m_alertLog.SetLogFileSettings(m_strApp + "\\Mine.log", 1, 7);
  app.MoveLogFileOutOfAppFolder();
  EXPECT_EQ(m_strApp + "\\Mine.log", app.m_alertLog.GetLogFilePath());

  // The engine finds the user's folder beside "App Path"; a console without one
  // removes a stale name.
  WriteStartupValues(app);
  CRegCloseKey product;
  ASSERT_EQ(ERROR_SUCCESS, ::RegOpenKeyExA(HKEY_CURRENT_USER, kProductKeyPath, 0, KEY_READ, product.Receive()));
  std::string strValue;
  ReadTextValue(product.Get(), "Data Path", strValue);
  EXPECT_EQ(m_strData, strValue);
  ReadTextValue(product.Get(), "App Path", strValue);
  EXPECT_EQ(m_strApp, strValue);
  WriteStartupValues(CConsoleSettings(m_strApp.c_str()));
  EXPECT_EQ(ERROR_FILE_NOT_FOUND, ::RegQueryValueExA(product.Get(), "Data Path", nullptr, nullptr, nullptr, nullptr));
}
