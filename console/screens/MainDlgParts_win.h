// What the main window is handed by the code that builds it: the request window's
// maker and the exit procedure (IMainDlgHost), and the parts that come with later
// work (the tray icon, the main screen's movie, the list feed and the definitions
// update). A part that is not there yet is null and its steps are skipped.
#pragma once

#include "console/screens/ScreensLayer.h"

#include <windows.h>

#include <string>

#include "shared/Result.h"

class IMainDlgHost {
 public:
  virtual ~IMainDlgHost() = default;
  // Creates the hidden request window, owned by hMainWnd; false when it failed.
  virtual bool CreateRequestWindow(HWND hMainWnd) = 0;
  // The main window is gone: the exit procedure, which ends the process.
  virtual void OnMainWindowDestroyed() = 0;
  // The stored settings are loaded: what follows them can start.
  virtual void OnSettingsLoaded() {}
  // The outcome of a save made while the console runs (after changes, or an
  // interrupted one finished at the load): a failure is shown until a save works.
  virtual void OnSaveOutcome(const CResult& /*saved*/) {}
};

// The tray icon: shows the tray menu and sends its commands (ID_TRAY_*) to the main window.
class IMainTrayIcon {
 public:
  virtual ~IMainTrayIcon() = default;
  virtual bool Create(HWND hMainWnd, const std::string& strTooltip) = 0;
  // The tray menu's default item: ID_TRAY_RESTORE while hidden, ID_TRAY_EXIT while shown.
  virtual void SetDefaultItem(UINT nCommand) = 0;
  virtual void Remove() = 0;
  // The icon's callback message (EAppMessage::TrayNotify) as the main window received it.
  virtual void OnNotify(WPARAM wParam, LPARAM lParam) = 0;
  // Hides the window into the tray, out of the taskbar, and brings it back.
  virtual void HideWindowToTray(HWND hWnd) = 0;
  virtual void RestoreWindowFromTray(HWND hWnd) = 0;
};

// The main screen's movie inside the main window.
class IMainScreen {
 public:
  virtual ~IMainScreen() = default;
  virtual void Load(HWND hMainWnd) = 0;
  virtual void PushOverview() = 0;
  virtual void OpenHelp() = 0;
  // The about box, modally.
  virtual void ShowAbout() = 0;
};

// The feed of the alert log and both lists into the main screen.
class IListFeed {
 public:
  virtual ~IListFeed() = default;
  virtual void Start() = 0;
  // Ends a feed that still runs; called while the main window is destroyed.
  virtual void End() = 0;
};

// Keeping the definitions current: the running console takes a new shipped
// definitions file without a restart, checks for updates on its schedule and runs the
// updater on the Update command.
class IDefinitionsUpdate {
 public:
  virtual ~IDefinitionsUpdate() = default;
  // Once start-up is done: the looks at the shipped file and the scheduled checks
  // begin, on timers of hMainWnd.
  virtual void Start(HWND hMainWnd) = 0;
  // A timer of the main window: true when it was one of the update's own.
  virtual bool OnTimer(UINT_PTR nTimerId) = 0;
  // The updater's worker told the main window (EAppMessage::UpdaterOutput,
  // UpdaterEnded): new output lines are waiting; the updater ended with its exit code.
  virtual void OnUpdaterOutput() = 0;
  virtual void OnUpdaterEnded(DWORD dwExitCode) = 0;
  // Any other message: true when it was the updater's broadcast that it installed
  // new definitions.
  virtual bool OnBroadcast(UINT uMsg) = 0;
  // The Update command: runs the updater now; its result is shown in a message box.
  virtual void RunNow() = 0;
  // While the main window is destroyed: a running updater is stopped.
  virtual void End() = 0;
};

struct SMainDlgParts {
  IMainTrayIcon* pTrayIcon = nullptr;
  IMainScreen* pScreen = nullptr;
  IListFeed* pListFeed = nullptr;
  IDefinitionsUpdate* pUpdate = nullptr;
};
