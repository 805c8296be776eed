// The main screen with the real player and movie "HWMain" inside a window of the
// test's thread, as the main window holds it, and what a person at it sees and
// does: the rows of its lists, a row chosen, a button pressed.
#pragma once

#include <windows.h>
// after windows.h, which it needs
#include <commctrl.h>

#include <string>

#include "console/screens/MainScreen_win.h"
#include "console/settings/ConsoleSettings_win.h"

enum : int { ID_MAIN_MAIL_ROWS = 1300, ID_MAIN_SITE_ROWS = 1400, ID_MAIN_LOG_ROWS = 1500 };
// Buttons below the mail list; those below the site list are 100 on.
enum : int { ID_MAIN_MAIL_BLOCK = 1302, ID_MAIN_MAIL_REMOVE = 1304, ID_MAIN_MAIL_REMOVE_ALL = 1305 };
enum : int {
  ID_MAIN_SITE_ALLOW = 1401,
  ID_MAIN_SITE_BLOCK = 1402,
  ID_MAIN_SITE_REMOVE = 1404,
  ID_MAIN_SITE_REMOVE_ALL = 1405
};

class CNoTrayIcon : public IMainTrayIcon {
 public:
  bool Create(HWND, const std::string&) override { return true; }
  void SetDefaultItem(UINT) override {}
  void Remove() override {}
  void OnNotify(WPARAM, LPARAM) override {}
  void HideWindowToTray(HWND) override {}
  void RestoreWindowFromTray(HWND) override {}
};

class CMainScreenHost {
 public:
  explicit CMainScreenHost(CConsoleSettings& settings) : m_screen(settings, m_tray) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = ::DefWindowProcA;
    wc.lpszClassName = "MainScreenHost";
    ::RegisterClassA(&wc);
    m_host.Reset(
        ::CreateWindowExA(0, wc.lpszClassName, "", WS_POPUP, 0, 0, 480, 320, nullptr, nullptr, nullptr, nullptr));
    if (m_host) m_screen.Load(m_host.Get());
    m_hPlayer = ::GetDlgItem(m_host.Get(), kMainFlashControlId);
  }
  ~CMainScreenHost() { m_screen.End(); }

  CMainScreenWindow& Screen() { return m_screen; }
  HWND Player() const { return m_hPlayer; }
  HWND List(int nList) const { return ::GetDlgItem(m_hPlayer, nList); }
  int Rows(int nList) const { return static_cast<int>(::SendMessageA(List(nList), LVM_GETITEMCOUNT, 0, 0)); }
  std::string Cell(int nList, int nRow, int nColumn) const {
    char szText[64] = "";
    LVITEMA item = {};
    item.iSubItem = nColumn;
    item.pszText = szText;
    item.cchTextMax = sizeof(szText);
    ::SendMessageA(List(nList), LVM_GETITEMTEXTA, nRow, reinterpret_cast<LPARAM>(&item));
    return szText;
  }
  // A click on a row chooses it; the movie then sends the list's command.
  void Select(int nList, int nRow) const {
    LVITEMA item = {};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    ::SendMessageA(List(nList), LVM_SETITEMSTATE, nRow, reinterpret_cast<LPARAM>(&item));
  }
  void Press(int nButton) const {
    ::SendMessageA(m_hPlayer, WM_COMMAND, MAKEWPARAM(nButton, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(m_hPlayer, nButton)));
  }

 private:
  CNoTrayIcon m_tray;
  CDestroyWindow m_host;
  CMainScreenWindow m_screen;
  HWND m_hPlayer = nullptr;
};
