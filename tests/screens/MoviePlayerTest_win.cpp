// The stand-in player on its own: loaded by name, driven through its dispatch ids,
// with its controls pressed as a user would and its events recorded.
#include <gtest/gtest.h>
#include <windows.h>
// after windows.h, which it needs
#include <commctrl.h>

#include <string>
#include <utility>
#include <vector>

#include "console/screens/MoviePlayerApi_win.h"
#include "standins/flashplayer/MovieDrawing_win.h"
#include "support/TempFolder_win.h"
#include "support/WaitUntil_win.h"

namespace {

class MoviePlayerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // Loaded once like the console does: the screens of later tests use it too.
    static const HMODULE hLibrary = ::LoadLibraryA((BuiltAppFolder() + "\\" + HWPLAYER_LIBRARY).c_str());
    ASSERT_NE(nullptr, hLibrary);
    m_pfnCreate =
        reinterpret_cast<HwPlayerCreateProc>(reinterpret_cast<void (*)()>(::GetProcAddress(hLibrary, HWPLAYER_CREATE)));
    m_pfnInvoke =
        reinterpret_cast<HwPlayerInvokeProc>(reinterpret_cast<void (*)()>(::GetProcAddress(hLibrary, HWPLAYER_INVOKE)));
    ASSERT_NE(nullptr, m_pfnCreate);
    ASSERT_NE(nullptr, m_pfnInvoke);
    m_parent.Reset(
        ::CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 400, 300, nullptr, nullptr, nullptr, nullptr));
    m_hPlayer = m_pfnCreate(m_parent.Get(), 77, 0, 0, 400, 300, &OnEvent, this);
    ASSERT_NE(nullptr, m_hPlayer);
    EXPECT_EQ(77, ::GetDlgCtrlID(m_hPlayer));
  }

  void Load(const std::string& strMovie) {
    const std::string strPath = m_folder.Path() + "\\test.hwf";
    WriteFileBytes(strPath, strMovie);
    EXPECT_EQ(0, m_pfnInvoke(m_hPlayer, HWPLAYER_DISPID_MOVIE, strPath.c_str(), nullptr, 0, nullptr, 0));
  }
  void Set(const char* szName, const char* szValue) {
    EXPECT_EQ(0, m_pfnInvoke(m_hPlayer, HWPLAYER_DISPID_SETVARIABLE, szName, szValue, 0, nullptr, 0));
  }
  std::string Get(const char* szName) {
    char szValue[8] = "";
    const long nLength = m_pfnInvoke(m_hPlayer, HWPLAYER_DISPID_GETVARIABLE, szName, nullptr, 0, szValue, 8);
    std::string strValue(nLength > 0 ? nLength : 0, '\0');
    if (nLength > 0) m_pfnInvoke(m_hPlayer, HWPLAYER_DISPID_GETVARIABLE, szName, nullptr, 0, &strValue[0], nLength + 1);
    return strValue;
  }
  HWND Item(int nId) { return ::GetDlgItem(m_hPlayer, nId); }
  std::string ItemText(int nId) {
    char szText[64] = "";
    ::GetWindowTextA(Item(nId), szText, sizeof(szText));
    return szText;
  }
  void Click(int nId) { ::SendMessageA(Item(nId), BM_CLICK, 0, 0); }

  static void CALLBACK OnEvent(void* pContext, long nDispId, const char* szCommand, const char* szArgs) {
    auto* pThis = static_cast<MoviePlayerTest*>(pContext);
    EXPECT_EQ(HWPLAYER_DISPID_FSCOMMAND, nDispId);
    pThis->m_events.emplace_back(szCommand, szArgs);
  }

  using Events = std::vector<std::pair<std::string, std::string>>;
  CTempFolder m_folder;
  CDestroyWindow m_parent;
  HwPlayerCreateProc m_pfnCreate = nullptr;
  HwPlayerInvokeProc m_pfnInvoke = nullptr;
  HWND m_hPlayer = nullptr;
  Events m_events;
};

}  // namespace

TEST_F(MoviePlayerTest, OnLoadCommandsArriveAfterTheLoadingCall) {
  Load("hwmovie 1\nonload IDC_FS_WIDTH 330\nonload IDC_FS_HIGH 150\n");
  EXPECT_TRUE(m_events.empty());
  PumpUntil([&] { return m_events.size() >= 2; });
  EXPECT_EQ((Events{{"IDC_FS_WIDTH", "330"}, {"IDC_FS_HIGH", "150"}}), m_events);
}

TEST_F(MoviePlayerTest, VariablesFeedTextsInputsAndConditions) {
  Load(
      "hwmovie 1\n"
      "text 10 0 0 100 20 \"Hi $(_root.name)!\"\n"
      "input 11 0 20 100 20 _root.name\n"
      "when _root.flags = 3\n"
      "button 12 0 40 50 20 Yes IDC_FS_YES \"\"\n"
      "when *\n"
      "button 13 0 60 50 20 Send IDC_FS_SEND $_root.name\n"
      "button 14 0 80 50 20 Missing IDC_FS_MISSING $_root.none\n");
  // What the host sets shows at the next turn of the message loop, all at once.
  Set("_root.name", "Ann");
  Set("_root.flags", "2");
  EXPECT_EQ("Hi !", ItemText(10));
  EXPECT_TRUE(PumpUntil([&] { return ItemText(10) == "Hi Ann!"; }));
  EXPECT_EQ("Ann", ItemText(11));
  EXPECT_FALSE(::IsWindowVisible(Item(12)));
  Set("_root.flags", "3");
  EXPECT_TRUE(PumpUntil([&] { return ::IsWindowVisible(Item(12)) != FALSE; }));

  // What the user types is what the console reads, also when longer than its buffer.
  ::SetWindowTextA(Item(11), "Bartholomew");
  EXPECT_EQ("Bartholomew", Get("_root.name"));
  EXPECT_EQ("", Get("_root.unknown"));
  Click(13);
  Click(14);
  EXPECT_EQ((Events{{"IDC_FS_SEND", "Bartholomew"}, {"IDC_FS_MISSING", "undefined"}}), m_events);
}

TEST_F(MoviePlayerTest, PagesSwitchOnlyToKnownLabelsOfRoot) {
  Load("hwmovie 1\npage one\ntext 10 0 0 9 9 a\npage two\ntext 20 0 0 9 9 b\npage *\ntext 30 0 0 9 9 c\n");
  EXPECT_TRUE(::IsWindowVisible(Item(10)));
  EXPECT_FALSE(::IsWindowVisible(Item(20)));
  m_pfnInvoke(m_hPlayer, HWPLAYER_DISPID_TGOTOLABEL, "_root", "two", 0, nullptr, 0);
  EXPECT_FALSE(::IsWindowVisible(Item(10)));
  EXPECT_TRUE(::IsWindowVisible(Item(20)));
  m_pfnInvoke(m_hPlayer, HWPLAYER_DISPID_TGOTOLABEL, "_root", "three", 0, nullptr, 0);
  m_pfnInvoke(m_hPlayer, HWPLAYER_DISPID_TGOTOLABEL, "_root.clip", "one", 0, nullptr, 0);
  EXPECT_TRUE(::IsWindowVisible(Item(20)));
  EXPECT_TRUE(::IsWindowVisible(Item(30)));
}

TEST_F(MoviePlayerTest, ChecksRadiosSteppersAndListsSetTheirVariables) {
  Load(
      "hwmovie 1\n"
      "check 10 0 0 90 20 Remember _root.bRemember true false IDC_FS_REMEMBER $_root.bRemember\n"
      "radio 11 0 20 90 20 Allow _root.nAction 0\n"
      "radio 12 0 40 90 20 Block _root.nAction 1 IDC_FS_ACTION $_root.nAction\n"
      "stepper 13 0 60 90 20 _root.nDays 1 365\n"
      "list 14 0 80 300 100 _root.rows Name|Count IDC_FS_PICK #\n"
      "onset _root.rows IDC_FS_FED $_root.rows\n");
  Click(10);
  EXPECT_EQ("true", Get("_root.bRemember"));
  EXPECT_EQ(BST_CHECKED, ::SendMessageA(Item(10), BM_GETCHECK, 0, 0));
  Click(10);
  EXPECT_EQ("false", Get("_root.bRemember"));
  Set("_root.nAction", "0");
  EXPECT_TRUE(PumpUntil([&] { return ::SendMessageA(Item(11), BM_GETCHECK, 0, 0) == BST_CHECKED; }));
  Click(12);
  EXPECT_EQ("1", Get("_root.nAction"));
  EXPECT_EQ(BST_UNCHECKED, ::SendMessageA(Item(11), BM_GETCHECK, 0, 0));
  Set("_root.nDays", "50");
  ::SendMessageA(::GetDlgItem(m_hPlayer, 13 + 10000), UDM_SETPOS32, 0, 51);
  EXPECT_EQ("51", Get("_root.nDays"));

  Set("_root.rows", "a.example\t3\nb.example\t5");
  EXPECT_TRUE(PumpUntil([&] { return ::SendMessageA(Item(14), LVM_GETITEMCOUNT, 0, 0) == 2; }));
  // The view asks the player for each cell it shows.
  char szCell[16] = "";
  LVITEMA cell = {};
  cell.iSubItem = 1;
  cell.pszText = szCell;
  cell.cchTextMax = sizeof(szCell);
  ::SendMessageA(Item(14), LVM_GETITEMTEXTA, 1, reinterpret_cast<LPARAM>(&cell));
  EXPECT_STREQ("5", szCell);
  LVITEMA item = {};
  item.stateMask = LVIS_SELECTED;
  item.state = LVIS_SELECTED;
  ::SendMessageA(Item(14), LVM_SETITEMSTATE, 1, reinterpret_cast<LPARAM>(&item));
  const Events expected = {{"IDC_FS_REMEMBER", "true"},
                           {"IDC_FS_REMEMBER", "false"},
                           {"IDC_FS_ACTION", "1"},
                           {"IDC_FS_FED", "a.example\t3\nb.example\t5"},
                           {"IDC_FS_PICK", "1"}};
  PumpUntil([&] { return m_events.size() >= expected.size(); });
  EXPECT_EQ(expected, m_events);
}

// Tabs and drop-down lists set their variable to what the user chose; the list
// always holds its variable's value; "px:" arguments are in display pixels.
TEST_F(MoviePlayerTest, TabsAndChoicesSetTheirVariables) {
  Load(
      "hwmovie 1\n"
      "tabs 20 0 0 200 24 page \"One=one|Two=two\" IDC_FS_TAB $page\n"
      "choice 21 0 30 120 22 _root.lang \"$(_root.options)\" IDC_FS_LANG $_root.lang\n"
      "button 22 0 60 80 24 Size IDC_FS_WIDTH px:100\n");
  Set("_root.options", "ENGLISH|GERMAN");
  Set("_root.lang", "FRENCH");
  EXPECT_TRUE(PumpUntil([&] { return ::SendMessageA(Item(21), CB_GETCOUNT, 0, 0) == 3; }));
  EXPECT_EQ(2, ::SendMessageA(Item(21), CB_GETCURSEL, 0, 0));
  ::SendMessageA(Item(21), CB_SETCURSEL, 1, 0);
  ::SendMessageA(m_hPlayer, WM_COMMAND, MAKEWPARAM(21, CBN_SELCHANGE), reinterpret_cast<LPARAM>(Item(21)));
  EXPECT_EQ("GERMAN", Get("_root.lang"));

  RECT rcTab = {};
  ::SendMessageA(Item(20), TCM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&rcTab));
  const LPARAM at = MAKELPARAM((rcTab.left + rcTab.right) / 2, (rcTab.top + rcTab.bottom) / 2);
  ::SendMessageA(Item(20), WM_LBUTTONDOWN, MK_LBUTTON, at);
  ::SendMessageA(Item(20), WM_LBUTTONUP, 0, at);
  EXPECT_EQ("two", Get("page"));
  Set("page", "one");
  EXPECT_TRUE(PumpUntil([&] { return ::SendMessageA(Item(20), TCM_GETCURSEL, 0, 0) == 0; }));

  Click(22);
  CDeleteDC info(::CreateICA("DISPLAY", nullptr, nullptr, nullptr));
  const int nDpi = ::GetDeviceCaps(info.Get(), LOGPIXELSY);
  const Events expected = {
      {"IDC_FS_LANG", "GERMAN"}, {"IDC_FS_TAB", "two"}, {"IDC_FS_WIDTH", std::to_string(100 * nDpi / 96)}};
  EXPECT_EQ(expected, m_events);
}

namespace {

// Pixels of the focus ring's colour that the screen shows inside rc (screen
// coordinates) of window hWnd's parent, read back from the virtual display.
int FocusRingPixels(HWND hWnd, RECT rc) {
  ::RedrawWindow(::GetParent(hWnd), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  const int cx = rc.right - rc.left, cy = rc.bottom - rc.top;
  CDeleteDC screen(::CreateDCA("DISPLAY", nullptr, nullptr, nullptr));
  CDeleteDC memory(::CreateCompatibleDC(screen.Get()));
  BITMAPINFO info = {};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), cx, -cy, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* pBits = nullptr;
  CDeleteObject bitmap(::CreateDIBSection(memory.Get(), &info, DIB_RGB_COLORS, &pBits, nullptr, 0));
  ::SelectObject(memory.Get(), bitmap.Get());
  ::BitBlt(memory.Get(), 0, 0, cx, cy, screen.Get(), rc.left, rc.top, SRCCOPY);
  int nRing = 0;
  for (int i = 0; i < cx * cy; ++i) nRing += (static_cast<const DWORD*>(pBits)[i] & 0xFFFFFF) == FOCUS_RING;
  return nRing;
}

RECT AroundOnScreen(HWND hWnd) {
  RECT rc = {};
  ::GetWindowRect(hWnd, &rc);
  ::InflateRect(&rc, 4, 4);
  return rc;
}

}  // namespace

// The arrow keys choose inside a group of radio buttons (the dialog manager moves
// the focus), Tab into it does not; the focus ring shows on the list or tab strip
// that has the keyboard focus only.
TEST_F(MoviePlayerTest, FocusChoosesInsideRadioGroupsAndShowsWhereItIs) {
  Load(
      "hwmovie 1\n"
      "tabs 20 10 10 200 24 page \"One=one|Two=two\"\n"
      "radio 11 10 40 90 20 Allow _root.nAction 0\n"
      "radio 12 10 60 90 20 Block _root.nAction 1 IDC_FS_ACTION $_root.nAction\n"
      "list 14 10 100 300 100 _root.rows Name\n"
      "button 15 10 220 80 24 Go IDC_FS_GO \"\"\n");
  Set("page", "one");
  Set("_root.nAction", "0");
  EXPECT_TRUE(PumpUntil([&] { return ::SendMessageA(Item(11), BM_GETCHECK, 0, 0) == BST_CHECKED; }));
  ::SetFocus(Item(15));
  ::SetFocus(Item(12));
  PumpUntil([] { return false; }, 200);
  EXPECT_EQ("0", Get("_root.nAction"));
  ::SetFocus(Item(11));
  ::SetFocus(Item(12));
  EXPECT_TRUE(PumpUntil([&] { return Get("_root.nAction") == "1"; })) << Get("_root.nAction");
  EXPECT_EQ((Events{{"IDC_FS_ACTION", "1"}}), m_events);

  ::SetFocus(Item(14));
  EXPECT_LT(0, FocusRingPixels(Item(14), AroundOnScreen(Item(14))));
  ::SetFocus(Item(20));
  EXPECT_EQ(0, FocusRingPixels(Item(14), AroundOnScreen(Item(14))));
  EXPECT_LT(0, FocusRingPixels(Item(20), AroundOnScreen(Item(20))));
  ::SetFocus(Item(15));
  EXPECT_EQ(0, FocusRingPixels(Item(20), AroundOnScreen(Item(20))));
}

TEST_F(MoviePlayerTest, MissingOrBrokenMoviesLeaveAPlayerThatStillAnswers) {
  EXPECT_EQ(0, m_pfnInvoke(m_hPlayer, HWPLAYER_DISPID_MOVIE, (m_folder.Path() + "\\none.hwf").c_str(), nullptr, 0,
                           nullptr, 0));
  EXPECT_EQ(nullptr, ::GetWindow(m_hPlayer, GW_CHILD));
  Load("hwmovie 1\nbogus\n");
  char szText[128] = "";
  ::GetWindowTextA(::GetWindow(m_hPlayer, GW_CHILD), szText, sizeof(szText));
  EXPECT_STREQ("movie error: line 2: unknown word \"bogus\"", szText);
  Set("_root.x", "1");
  EXPECT_EQ("1", Get("_root.x"));
  EXPECT_EQ(-1, m_pfnInvoke(m_hPlayer, 999, nullptr, nullptr, 0, nullptr, 0));
  EXPECT_EQ(-2, m_pfnInvoke(nullptr, HWPLAYER_DISPID_SETVARIABLE, "a", "b", 0, nullptr, 0));
}
