// The main screen inside the main window: the Flash control playing "HWMain", the
// commands' window side (help, tray, screens, shell) and the feed of its three
// views. Every player call and every list read happens on the user-interface thread.
#pragma once

#include "console/screens/ScreensLayer.h"

#include <windows.h>

#include "console/screens/MainDlgParts_win.h"
#include "console/screens/FlashScreenDlg_win.h"
#include "console/screens/MainScreen.h"
#include "console/screens/ShockwaveFlash_win.h"
#include "console/settings/LocalTextCache_win.h"

class CConsoleSettings;

// The about box (movie "AB"): its movie's close and OK commands end it; Enter and
// Escape do nothing.
class CAboutDlg : public CFlashScreenDlg {
 public:
  explicit CAboutDlg(const CConsoleSettings& settings);

 protected:
  void OnInitScreen() override;
  void OnScreenCommand(const char* szCommand, const char* szArgs) override;
  void OnOK() override {}
  void OnCancel() override {}
};

// Dialog item of the control inside the main window.
constexpr int kMainFlashControlId = 2003;
// Where the support command's new message goes.
constexpr const char* kSupportMailLink = "mailto:support@hookwarden.example.com";

class CMainScreenWindow : public IMainScreen, public IListFeed, private IMainScreenServices, private IFlashEvents {
 public:
  CMainScreenWindow(CConsoleSettings& settings, IMainTrayIcon& trayIcon);
  ~CMainScreenWindow() override;
  CMainScreenWindow(const CMainScreenWindow&) = delete;
  CMainScreenWindow& operator=(const CMainScreenWindow&) = delete;

  // What the request handling tells the main window.
  IMainWindowNotifications& Notifications() { return m_screen; }

  void Load(HWND hMainWnd) override;
  void PushOverview() override { m_screen.PushOverview(); }
  void OpenHelp() override;
  void ShowAbout() override;

  void Start() override;
  void End() override;
  // Every view's feed has ended.
  bool IsFeedOver() const { return m_screen.IsFeedOver(); }

  // The Update command runs the updater through it; without it the command does nothing.
  void SetDefinitionsUpdate(IDefinitionsUpdate* pUpdate) { m_pUpdate = pUpdate; }

 private:
  void OnFSCommand(const char* szCommand, const char* szArgs) override;

  bool CheckLogin() override;
  std::string LocalText(unsigned nStringId) override;
  std::string LanguageOptions() override;
  void Drag() override;
  void HideToTray() override;
  void MinimizeToTaskbar() override;
  void UpdateStartupEntry() override;
  bool AskNewPassword(const std::string& strCurrent, std::string* pNew) override;
  bool AskLogin(const std::string& strStored) override;
  int AskQuestion(unsigned nTextId, unsigned nCaptionId) override;
  void BackupSettings() override;
  bool RestoreSettings() override;
  bool ResetSettings() override;
  void EndWindow() override;
  void RunLiveUpdate() override;
  void OpenSupportMail() override;
  bool EditPermission(int nMode, std::int32_t* pPermission) override;
  bool EditLogSettings(std::string* pPath, std::int32_t* pArchiveOn, std::uint8_t* pPeriod,
                       bool bArchiveByPolicy) override;
  bool EditAlertDisplay(std::int32_t* pMail, std::int32_t* pWeb) override;
  void SettingsChanged() override;

  CConsoleSettings& m_settings;
  IMainTrayIcon& m_trayIcon;
  HWND m_hMainWnd = nullptr;
  CShockwaveFlash m_flash;
  // Read once: the overview sends them at every request.
  CLocalTextCache m_texts;
  std::string m_strLanguageOptions;
  CMainScreen m_screen;
  IDefinitionsUpdate* m_pUpdate = nullptr;
};
