// The console's application object: the state that start-up fixes and that the
// settings, languages and screens read during the whole run. One is built before
// anything else runs; the latest one built is the current one.
#pragma once

#include <string>
#include <vector>

#include "console/settings/OverviewSettings_win.h"

class CHookwardenApp {
 public:
  // The application folder is the folder of the console's executable.
  CHookwardenApp();
  // The application folder is szAppFolder (without trailing backslash).
  explicit CHookwardenApp(const char* szAppFolder);
  ~CHookwardenApp();
  CHookwardenApp(const CHookwardenApp&) = delete;
  CHookwardenApp& operator=(const CHookwardenApp&) = delete;

  // The application object built last and still alive; without one, a default
  // object for the executable's folder.
  static CHookwardenApp& Current();

  const char* GetAppPath() const { return m_szAppPath; }
  const char* GetModulePath() const { return m_szModulePath; }
  const char* GetSystemPath() const { return m_szSystemPath; }

  // The current language name, "English" until the settings load replaces it.
  std::string m_strLanguage = "English";
  // Set when another instance was already running; that instance keeps its files.
  bool m_bSecondInstance = false;

  // The settings objects, each stored in its own subkey of the product key. The
  // overview also holds the logged-in flag ("IsLogin") and the version texts.
  COverviewSettings m_overview;

  // The settings objects in the order the settings load reads them and the full
  // save writes them: Overview, then AlertandLog, MailSafe, WebSiteBlocking.
  std::vector<CSettingsSubkey*> GetSettingsSubkeys();

 private:
  void Init(const char* szAppFolder);

  char m_szAppPath[261] = {};
  char m_szModulePath[261] = {};
  char m_szSystemPath[261] = {};
  CHookwardenApp* m_pPrevious = nullptr;
};
