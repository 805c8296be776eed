// The console's main window: its creation and start-up steps, closing that only
// hides it, the system menu's about item, the exit request (tray "&Exit" and the
// end of the Windows session) and its destruction, which hands over to the exit
// procedure. Its movie, rows, overview, commands and list feed plug in through
// the parts of MainDlgParts_win.h.
#pragma once

#include "console/screens/ScreensLayer.h"

#include <windows.h>

#include "console/screens/ConsoleWindow_win.h"
#include "console/screens/MainDlgParts_win.h"
#include "console/screens/Splash_win.h"
#include "shared/OwnedResources_win.h"

class CConsoleSettings;

// The timer whose first tick starts feeding the views, one second after start-up.
constexpr UINT_PTR kListFeedTimerId = 1048833;
constexpr UINT kListFeedTimerMs = 1000;
// The save after changes: kSaveDelayMs after the last change, and no later than
// kSaveLatestMs after the first one not yet saved, so that a steady stream of
// requests cannot put it off. A kill loses at most the changes of these seconds.
constexpr UINT_PTR kSaveTimerId = 1048834;
constexpr ULONGLONG kSaveDelayMs = 2000;
constexpr ULONGLONG kSaveLatestMs = 10000;
// The main window's size in dialog units.
constexpr short kMainWindowWidthDlu = 334;
constexpr short kMainWindowHeightDlu = 278;
// Asked by other programs; answered with 1, once start-up is done, and nothing else.
constexpr UINT WM_HOOKWARDEN_PRESENT = WM_USER + 201;

class CMainDlg : public CConsoleWindow {
 public:
  CMainDlg(CConsoleSettings& settings, IMainDlgHost& host, const SMainDlgParts& parts);
  ~CMainDlg();
  CMainDlg(const CMainDlg&) = delete;
  CMainDlg& operator=(const CMainDlg&) = delete;

  // Creates the window, hidden when bStartHidden (the console was started with a
  // command line), and runs its messages until it is destroyed. -1 when the window
  // could not be made.
  int Run(bool bStartHidden);

  HWND GetSafeHwnd() const { return m_wnd.Get(); }

  // The exit request: the login check, then logged-in flag 0, the full save and
  // the window destroyed. False, with nothing changed, when the login check failed.
  bool RequestExit();
  // The end of the Windows session: the system ends the console whatever it
  // answers, so there is no login check (its screen would only hold up the
  // shut-down until the process is killed); logged-in flag 0, the full save and
  // the window destroyed.
  void EndSession();

 private:
  void OnInitDialog() override;
  bool OnCommand(const SCommand& command) override;
  bool OnTimer(UINT_PTR nTimerId) override;
  bool OnAppMessage(const SAppMessage& message) override;
  bool OnMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) override;
  // The definitions update, once start-up is done; null before.
  IDefinitionsUpdate* StartedUpdate() const { return m_bStartedUp ? m_parts.pUpdate : nullptr; }
  void OnCreate();
  void StartUp();
  // Minimised, the client area shows the window icon centred.
  void PaintIcon();
  void HideToTray();
  void Restore();
  void OnDestroy();
  // The settings changed: (re)starts the save timer.
  void ScheduleSave();
  void SaveChanges();
  // Logged-in flag 0, the full save and the window destroyed, which ends the
  // console; a refused save is shown when bShowRefusal.
  void SaveAndEnd(bool bShowRefusal);

  CConsoleSettings& m_settings;
  IMainDlgHost& m_host;
  SMainDlgParts m_parts;
  bool m_bStartHidden = false;
  bool m_bStartedUp = false;
  // Until the stored settings are loaded, the settings objects hold defaults: a
  // save then would delete everything stored, so none is made.
  bool m_bSettingsLoaded = false;
  bool m_bSavePending = false;
  ULONGLONG m_ullFirstUnsaved = 0;
  // Set while the save before the end runs: the system sends the end of the
  // session to every window, also while the first one is being handled.
  bool m_bEnding = false;
  CSplash m_splash;
};
