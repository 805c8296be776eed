// main-window.exe page NAME | rows: a person at the running console's main window,
// for scripts/run.sh. "page" chooses the tab NAME (overview, mail, sites, log,
// settings) of the movie "HWMain" and prints "SHOWN x y width height" of the
// window once the tab shows; "rows" prints the rows of the three lists. Exit code
// 0, 1 when the page did not show in time, 2 when no console runs or on bad usage.
#include <windows.h>
// clang-format off
#include <commctrl.h>
// clang-format on

#include <cstdio>
#include <cstring>
#include <string>

#include "support/WaitUntil_win.h"

namespace {

enum : int { ID_PLAYER = 2003, ID_TABS = 1100, ID_MAIL_ROWS = 1300, ID_SITE_ROWS = 1400, ID_LOG_ROWS = 1500 };
const char* const kPages[] = {"overview", "mail", "sites", "log", "settings"};

BOOL CALLBACK FindMainDialog(HWND hWnd, LPARAM lParam) {
  char szClass[16] = {};
  ::GetClassNameA(hWnd, szClass, sizeof(szClass));
  if (std::strcmp(szClass, "#32770") != 0 || (::GetWindowLongPtrA(hWnd, GWL_STYLE) & WS_SYSMENU) != WS_SYSMENU ||
      !::GetDlgItem(hWnd, ID_PLAYER))
    return TRUE;
  *reinterpret_cast<HWND*>(lParam) = hWnd;
  return FALSE;
}

int Rows(HWND hPlayer, int nId) {
  const HWND hList = ::GetDlgItem(hPlayer, nId);
  return hList ? static_cast<int>(::SendMessageA(hList, LVM_GETITEMCOUNT, 0, 0)) : -1;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string strVerb = argc > 1 ? argv[1] : "";
  int nPage = -1;
  for (int i = 0; argc == 3 && strVerb == "page" && i < 5; ++i) {
    if (std::strcmp(argv[2], kPages[i]) == 0) nPage = i;
  }
  if (!(argc == 2 && strVerb == "rows") && nPage < 0) {
    std::fprintf(stderr, "usage: main-window page overview|mail|sites|log|settings, or main-window rows\n");
    return 2;
  }
  HWND hMain = nullptr;
  ::EnumWindows(&FindMainDialog, reinterpret_cast<LPARAM>(&hMain));
  const HWND hPlayer = hMain ? ::GetDlgItem(hMain, ID_PLAYER) : nullptr;
  if (!hPlayer) {
    std::printf("no console runs\n");
    return 2;
  }
  if (strVerb == "rows") {
    std::printf("rows shown: web sites %d, mail %d, alert log %d\n", Rows(hPlayer, ID_SITE_ROWS),
                Rows(hPlayer, ID_MAIL_ROWS), Rows(hPlayer, ID_LOG_ROWS));
    return 0;
  }
  // The arrow keys on the tab strip, which tells the movie each tab it moves to:
  // to the first tab, then on to the page's (a tab's rectangle cannot be asked
  // from another process).
  const HWND hTabs = ::GetDlgItem(hPlayer, ID_TABS);
  for (int i = 0; i < 5 + nPage; ++i) ::PostMessageA(hTabs, WM_KEYDOWN, i < 5 ? VK_LEFT : VK_RIGHT, 1);
  if (!WaitUntil([&] { return ::SendMessageA(hTabs, TCM_GETCURSEL, 0, 0) == nPage; }, 10000)) return 1;
  // The page's controls show in the same refresh that checks the tab; let it paint.
  ::RedrawWindow(hMain, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  RECT rc = {};
  ::GetWindowRect(hMain, &rc);
  std::printf("SHOWN %ld %ld %ld %ld\n", rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top);
  return 0;
}
