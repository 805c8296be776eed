// What the settings and the screens take from the running console: where its files
// are, the language it speaks and the settings objects. The application object
// builds one and hands it to whatever needs it; tests build their own.
#pragma once

#include <string>
#include <vector>

#include "console/settings/AlertLog.h"
#include "console/settings/store/OverviewSettings.h"
#include "console/settings/PermissionLists.h"
#include "console/settings/store/SettingsSubkey.h"
#include "console/settings/store/StoredTree.h"
#include "shared/Policies.h"

class CConsoleSettings {
 public:
  // szAppFolder without trailing backslash; szModulePath the console's executable,
  // the running program's own when null; szDataFolder the user's own folder for
  // what the console writes, the application folder when null or empty. All are
  // cut to 260 characters.
  explicit CConsoleSettings(const char* szAppFolder, const char* szModulePath = nullptr,
                            const char* szDataFolder = nullptr);
  CConsoleSettings(const CConsoleSettings&) = delete;
  CConsoleSettings& operator=(const CConsoleSettings&) = delete;

  const char* GetAppPath() const { return m_szAppPath; }
  const char* GetModulePath() const { return m_szModulePath; }
  // Where the working definitions file, the log file, the log archive and the
  // user's own shipped definitions lie; the application folder is only read.
  const char* GetDataPath() const { return m_szDataPath; }
  bool HasOwnDataPath() const;
  // A log file still named at its old place in the application folder, which users
  // may not write, moves to the data folder's default; a path the user chose stays.
  void MoveLogFileOutOfAppFolder();

  // The current language name, "English" until the settings load replaces it.
  std::string m_strLanguage = "English";
  // Where the definitions updater looks for updates ("UpdateAddress"); the console
  // only keeps it through the full save.
  std::string m_strUpdateAddress;
  // Minutes between update checks ("UpdateInterval", text; empty: the default) and
  // the time of the last check that got the server's answer ("LastUpdateCheck",
  // UTC "YYYY-MM-DDTHH:MM:SSZ"); the updater keeps both current, the full save keeps them.
  std::string m_strUpdateInterval;
  std::string m_strLastUpdateCheck;

  // The administrators' policies, read with the settings and again every minute.
  // They decide where a setting is used and are never stored here: the members
  // above and below keep the user's own values, which every save writes.
  CPolicies m_policies;
  // The update address and interval in force: the policy's, else the user's.
  std::string EffectiveUpdateAddress() const;
  std::string EffectiveUpdateInterval() const;
  // The web guard runs when the user's check box or a policy says so.
  bool IsWebGuardOn() const;

  // The settings objects, each stored in its own subkey of the product key. The
  // overview also holds the logged-in flag ("IsLogin") and the version texts.
  COverviewSettings m_overview;
  // The alert-and-log settings with the alert log; the log file defaults to the
  // data folder and the archive start time to the time the object was made.
  CAlertLogSettings m_alertLog;
  CMailSafeList m_mailSafeList;
  CWebSiteBlockingList m_webSiteBlockingList;

  // The settings objects in the order the settings load reads them and the full
  // save writes them: Overview, then AlertandLog, MailSafe, WebSiteBlocking.
  std::vector<CSettingsSubkey*> GetSettingsSubkeys();

  // What the product key holds as the settings store last read or saved it: a save
  // writes only what differs from it.
  SStoredState m_storedState;

 private:
  char m_szAppPath[261] = {};
  char m_szModulePath[261] = {};
  char m_szDataPath[261] = {};
  CStoreKeySubkey<CAlertLogSettings> m_alertLogSubkey{m_alertLog};
  CStoreKeySubkey<CMailSafeList> m_mailSafeSubkey{m_mailSafeList};
  CStoreKeySubkey<CWebSiteBlockingList> m_webSiteBlockingSubkey{m_webSiteBlockingList};
};
