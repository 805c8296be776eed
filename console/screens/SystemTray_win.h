// The console's icon in the notification area: its record, the hidden window that
// hears the taskbar being re-created, the translated tray menu with its default
// item, and the hiding of a window into the tray and its restoring from there.
#pragma once

#include "console/screens/ScreensLayer.h"

#include <windows.h>
#include <shellapi.h>

#include <string>

#include "console/screens/ConsoleWindow_win.h"
#include "console/screens/MainDlgParts_win.h"
#include "shared/OwnedResources_win.h"

class CConsoleSettings;

constexpr UINT kTooltipMaxChars = 127;
constexpr UINT kBalloonTextMaxChars = 255;
constexpr UINT kBalloonTitleMaxChars = 63;
// The section of the language file that translates the tray menu.
constexpr const char* kTrayMenuSection = "HookwdnTrayMenu";

// What a balloon shows; the console shows none.
struct STrayBalloon {
  const char* szText = nullptr;
  const char* szTitle = nullptr;
  DWORD dwIconFlags = 0;
  UINT uTimeoutSeconds = 10;
};

// The area of the screen that the tray takes, for the hiding animation: the
// taskbar's notification area, else a corner of the taskbar, else one of the
// work area.
RECT GetTrayWndRect();

class CSystemTray : public CConsoleWindow, public IMainTrayIcon {
 public:
  // The menu is translated into the settings' current language each time it opens.
  explicit CSystemTray(const CConsoleSettings& settings);
  ~CSystemTray() override;
  CSystemTray(const CSystemTray&) = delete;
  CSystemTray& operator=(const CSystemTray&) = delete;

  // Adds the icon; hOwner receives uCallbackMessage (the tray's own window when
  // null). The tooltip is cut to 127 characters. False when the icon could not be
  // added: it is then pending and comes when the taskbar is re-created.
  bool Create(HWND hOwner, UINT uCallbackMessage, const std::string& strTooltip, HICON hIcon, UINT uId, bool bHidden,
              const STrayBalloon& balloon);

  // The main window's icon: its callback message, the application title, icon
  // 128, the menu's number as the icon's.
  bool Create(HWND hMainWnd, const std::string& strTooltip) override;
  void SetDefaultItem(UINT nCommand) override { SetMenuDefaultItem(nCommand, false); }
  void Remove() override { RemoveIcon(); }
  void OnNotify(WPARAM wParam, LPARAM lParam) override { OnTrayNotification(wParam, lParam); }
  void HideWindowToTray(HWND hWnd) override;
  void RestoreWindowFromTray(HWND hWnd) override;

  bool RemoveIcon();
  // A new tooltip, cut to 127 characters; kept for an icon added later. False
  // when the shell refused it.
  bool SetTooltip(const std::string& strTooltip);
  // Adds the icon again (removing it first when it is there).
  bool ShowIcon();
  // The item that the menu shows in bold and a double click runs: a command, or
  // with bByPosition the item at that position of the menu.
  void SetMenuDefaultItem(UINT uItem, bool bByPosition);
  // Where menu commands go; null: the icon's owner.
  void SetTargetWnd(HWND hTarget) { m_hTarget = hTarget; }
  // The icon's mouse messages: wParam the icon id, lParam the mouse message.
  void OnTrayNotification(WPARAM wParam, LPARAM lParam);

  bool IsEnabled() const { return m_bEnabled; }
  bool IsHidden() const { return m_bHidden; }
  bool IsRemoved() const { return m_bRemoved; }
  bool IsAddPending() const { return m_bAddPending; }
  const NOTIFYICONDATAA& IconData() const { return m_nid; }
  HWND GetSafeHwnd() const { return m_wnd.Get(); }

 protected:
  // The shell's notification call; tests watch it.
  virtual bool NotifyIcon(DWORD dwMessage, NOTIFYICONDATAA& data);

 private:
  LRESULT HandleWindowMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) override;
  bool AddIcon(UINT uFlags);
  void OnTaskbarCreated();
  HWND TargetWnd() const;
  UINT DefaultCommand(HMENU hMenu) const;
  static bool IsMinimiseAnimationOn();

  const CConsoleSettings& m_settings;
  NOTIFYICONDATAA m_nid = {};
  bool m_bEnabled = false;
  bool m_bExtendedFeatures = false;
  bool m_bHidden = false;
  bool m_bRemoved = true;
  bool m_bAddPending = false;
  UINT m_uCreateFlags = 0;
  UINT m_uDefaultItem = 0;
  bool m_bDefaultByPosition = true;
  HWND m_hTarget = nullptr;
};
