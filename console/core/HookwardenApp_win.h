// The console's application object and composition root: the state that start-up
// fixes, the settings objects, the request handlers and the main window, each
// handed what it needs. Run carries out start-up; whatever ends it, the exit
// procedure ends the process.
#pragma once

#include "console/core/CoreLayer.h"

#include <windows.h>

#include <memory>
#include <string>

#include "console/core/DefinitionsUpdater_win.h"
#include "console/core/RequestHandlers.h"
#include "console/core/RequestServices_win.h"
#include "console/core/RequestWindow_win.h"
#include "console/core/TrayTooltip.h"
#include "console/core/WebGuard_win.h"
#include "console/screens/MainDlgParts_win.h"
#include "console/screens/MainScreen_win.h"
#include "console/screens/SystemTray_win.h"
#include "console/settings/ConsoleSettings_win.h"
#include "shared/OwnedResources_win.h"

// Named for other programs to see that the console runs; nothing here tests it.
constexpr const char* kPresenceMutexName = "{45428D53-A5DB-4168-BD3C-658419B60279}";
constexpr const char* kProviderInstaller = "\\chainset.exe";
// What the process ends with: the code the system reports for a running process.
constexpr UINT kConsoleExitCode = STILL_ACTIVE;

class CMainDlg;

class CHookwardenApp : private IMainDlgHost {
 public:
  // The application folder is the folder of the console's executable; what the
  // console writes goes to the user's own data folder.
  CHookwardenApp();
  ~CHookwardenApp() override;
  CHookwardenApp(const CHookwardenApp&) = delete;
  CHookwardenApp& operator=(const CHookwardenApp&) = delete;

  // Start-up with the program's command line; returns only when the exit procedure
  // did not end the process, which does not happen outside tests.
  void Run(const char* szCommandLine);

  CConsoleSettings& Settings() { return m_settings; }
  const char* GetSystemPath() const { return m_szSystemPath; }

  bool IsSecondInstance() const { return m_bSecondInstance; }

 private:
  // strModulePath is empty when the console's own path does not fit 260 characters.
  explicit CHookwardenApp(const std::string& strModulePath);
  bool CreateRequestWindow(HWND hMainWnd) override;
  void OnMainWindowDestroyed() override;
  void OnSettingsLoaded() override;
  void OnSaveOutcome(const CResult& saved) override;
  // Shows the tooltip of what each part last reported.
  void ShowTrayStatus();

  // Start-up steps 1 to 10; false when start-up must end.
  bool StartUp();
  bool WriteWorkingDefinitions();
  void StartProviderInstallerIfMissing();
  void ShowStartupMessage(const std::string& strText);
  std::string GetAppTitle();
  std::string AppFile(const char* szName) const;
  // A file of the user's data folder (the working definitions file).
  std::string DataFile(const char* szName) const;
  // Deletes the working definitions file unless another instance owns it, then
  // ends the process at once.
  void ExitProcedure();

  bool m_bOwnPathFits = false;
  char m_szSystemPath[261] = {};
  CConsoleSettings m_settings;
  bool m_bSecondInstance = false;
  // Set once the single-instance mutex is ours: only then is the working
  // definitions file this process's to delete.
  bool m_bFirstInstance = false;
  bool m_bSocketsStarted = false;
  CCloseHandle m_presenceMutex;
  CCloseHandle m_instanceMutex;
  CConsoleRequestServices m_requestServices{m_settings};
  CSystemTray m_trayIcon{m_settings};
  // What the web guard, the updater and the saves last reported for the tray tooltip.
  STrayStatus m_trayStatus;
  CMainScreenWindow m_mainScreen{m_settings, m_trayIcon};
  CRequestHandlers m_requestHandlers{
      SRequestState{m_settings.m_mailSafeList, m_settings.m_webSiteBlockingList, m_settings.m_alertLog,
                    m_settings.m_overview.m_nNoOfBlockedInstructions,
                    m_settings.m_overview.m_nNoOfBlockedInstructionsHaveHighRating,
                    m_settings.m_overview.m_nNoOfEmailProtection, m_settings.m_overview.m_nNoOfWebProtection,
                    &m_settings.m_policies},
      m_requestServices, m_mainScreen.Notifications()};
  CDefinitionsUpdater m_definitionsUpdater{m_settings,
                                           [this](const std::string& strLine) {
                                             m_trayStatus.strUpdate = strLine;
                                             ShowTrayStatus();
                                           },
                                           m_mainScreen};
  std::unique_ptr<CRequestWindow> m_pRequestWindow;
  CWebGuard m_webGuard{m_settings, [this](const std::string& strStatus) {
                         m_trayStatus.strWebGuard = strStatus;
                         ShowTrayStatus();
                       }};
  // While it runs; the request window hands it the end of the session.
  CMainDlg* m_pMainDlg = nullptr;
  SMainDlgParts m_mainDlgParts;
};
