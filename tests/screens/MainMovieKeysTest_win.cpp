// The main window's movie under Wine: Tab reaches every control of the settings
// page, each with a name that a screen reader can read.
#include <gtest/gtest.h>
#include <windows.h>
// after windows.h, which it needs
#include <commctrl.h>

#include <set>
#include <string>
#include <vector>

#include "console/settings/ConsoleSettings_win.h"
#include "screens/MainMovieSample_win.h"
#include "screens/ScreenUser_win.h"
#include "support/TempFolder_win.h"
#include "support/WaitUntil_win.h"

namespace {

LONG ButtonType(HWND hWnd) {
  return ::GetWindowLongA(hWnd, GWL_STYLE) & BS_TYPEMASK;
}

// The name a screen reader gives a control: its own text, for a field, a list or
// a drop-down list the text of the label just before it, for tabs their captions.
std::string AccessibleName(HWND hControl) {
  const std::string strClass = ClassOf(hControl);
  char szText[256] = "";
  if (strClass == "SysTabControl32") {
    TCITEMA tab = {};
    tab.mask = TCIF_TEXT;
    tab.pszText = szText;
    tab.cchTextMax = sizeof(szText);
    ::SendMessageA(hControl, TCM_GETITEMA, 0, reinterpret_cast<LPARAM>(&tab));
    return szText;
  }
  HWND hNamed = hControl;
  if (strClass == "Edit" || strClass == "ComboBox" || strClass == "SysListView32") {
    hNamed = ::GetWindow(hControl, GW_HWNDPREV);
    if (!hNamed || ClassOf(hNamed) != "Static") return std::string();
  }
  ::GetWindowTextA(hNamed, szText, sizeof(szText));
  return szText;
}

// What the user can work: buttons, boxes, fields, lists and tabs, but not the
// frames of groups.
bool IsInteractive(HWND hWnd) {
  const std::string strClass = ClassOf(hWnd);
  if (strClass == "Button") return ButtonType(hWnd) != BS_GROUPBOX;
  return strClass == "ComboBox" || strClass == "Edit" || strClass == "SysListView32" || strClass == "SysTabControl32";
}

// Tab reaches a group of radio buttons once; the arrow keys move in it.
HWND TabStopOf(HWND hWnd) {
  if (ClassOf(hWnd) != "Button" || ButtonType(hWnd) != BS_RADIOBUTTON) return hWnd;
  while (!(::GetWindowLongA(hWnd, GWL_STYLE) & WS_GROUP)) hWnd = ::GetWindow(hWnd, GW_HWNDPREV);
  return hWnd;
}

// Presses Tab on the player hPlayer until it went round; what was not reached or has no name.
std::vector<std::string> TabThrough(HWND hPlayer, std::size_t* pnControls) {
  std::vector<HWND> controls;
  for (HWND h = ::GetWindow(hPlayer, GW_CHILD); h; h = ::GetWindow(h, GW_HWNDNEXT)) {
    if (IsInteractive(h) && ::IsWindowVisible(h)) controls.push_back(h);
  }
  std::set<HWND> reached;
  for (std::size_t i = 0; i < controls.size() + 2; ++i) {
    HWND hFocus = nullptr;
    WaitUntil([&] { return (hFocus = FocusOf(hPlayer)) != nullptr; });
    reached.insert(TabStopOf(hFocus));
    ::PostMessageA(hFocus, WM_KEYDOWN, VK_TAB, 1);
    WaitUntil([&] { return FocusOf(hPlayer) != hFocus; }, 2000);
  }
  std::vector<std::string> failures;
  for (HWND hControl : controls) {
    const std::string strId = std::to_string(::GetDlgCtrlID(hControl));
    if (!reached.count(TabStopOf(hControl))) failures.push_back("Tab never reached control " + strId);
    if (AccessibleName(hControl).empty()) failures.push_back("control " + strId + " has no name");
  }
  *pnControls = controls.size();
  return failures;
}

TEST(MainMovieKeysTest, TabReachesEverySettingWhichHasAName) {
  CConsoleSettings app(BuiltAppFolder().c_str());
  CMainSample screen(app, "settings");
  // Checked while the screen is up: its windows go with it.
  std::vector<std::string> failures;
  std::size_t nControls = 0;
  const SUserRun run = RunWithUser([&] { return static_cast<int>(screen.DoModal()); },
                                   [&](CScreenUser& user) {
                                     const HWND hFirst = user.WaitForControl(1600);
                                     if (hFirst) failures = TabThrough(::GetParent(hFirst), &nControls);
                                     user.Key(0, VK_ESCAPE);
                                   });
  EXPECT_EQ("", run.strFailure);
  EXPECT_EQ(20u, nControls);  // tabs, minimize, close, 4 check boxes, 3 radios, the drop-down list, 9 buttons
  EXPECT_EQ(std::vector<std::string>(), failures);
}

}  // namespace
