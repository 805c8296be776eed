// The tray icon under Wine's own tray: adding it, adding it again when the taskbar
// comes back or after a failed add, and the menu it opens on a right click.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "console/ConsoleResources.h"
#include "console/screens/SystemTray_win.h"
#include "console/settings/ConsoleSettings_win.h"
#include "support/TempFolder_win.h"
#include "support/WaitUntil_win.h"

namespace {

// Passes every call to the shell and keeps its message and result; with
// m_bRefuseAdds the shell seems to be away.
class CWatchedTray : public CSystemTray {
 public:
  using CSystemTray::CSystemTray;
  std::vector<std::pair<DWORD, bool>> m_calls;
  bool m_bRefuseAdds = false;

 protected:
  bool NotifyIcon(DWORD dwMessage, NOTIFYICONDATAA& data) override {
    const bool bResult = !(m_bRefuseAdds && dwMessage == NIM_ADD) && CSystemTray::NotifyIcon(dwMessage, data);
    m_calls.emplace_back(dwMessage, bResult);
    return bResult;
  }
};

using Calls = std::vector<std::pair<DWORD, bool>>;

class SystemTrayTest : public ::testing::Test {
 protected:
  SystemTrayTest() : m_app(BuiltAppFolder().c_str()) {
    m_owner.Reset(::CreateWindowExA(0, "STATIC", "owner", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr));
  }
  CConsoleSettings m_app;
  CDestroyWindow m_owner;
  const UINT m_uTaskbarCreated = ::RegisterWindowMessageA("TaskbarCreated");
};

}  // namespace

TEST_F(SystemTrayTest, IconIsAddedWithTheTitleAndAgainWhenTheTaskbarIsBack) {
  CWatchedTray tray(m_app);
  ASSERT_TRUE(tray.Create(m_owner.Get(), "Hookwarden"));
  EXPECT_EQ((Calls{{NIM_ADD, true}}), tray.m_calls);
  EXPECT_STREQ("Hookwarden", tray.IconData().szTip);

  // The shell lost the icon and tells every program that the taskbar is back.
  NOTIFYICONDATAA lost = tray.IconData();
  ASSERT_TRUE(::Shell_NotifyIconA(NIM_DELETE, &lost));
  tray.m_calls.clear();
  ::PostMessageA(HWND_BROADCAST, m_uTaskbarCreated, 0, 0);
  PumpUntil([&] { return tray.m_calls.size() >= 2; });
  EXPECT_EQ((Calls{{NIM_DELETE, false}, {NIM_ADD, true}}), tray.m_calls);
  EXPECT_FALSE(tray.IsRemoved());
}

TEST_F(SystemTrayTest, FailedAddWaitsForTheTaskbarAndLongTooltipsAreCut) {
  CWatchedTray tray(m_app);
  tray.m_bRefuseAdds = true;
  EXPECT_FALSE(tray.Create(m_owner.Get(), std::string(200, 't')));
  EXPECT_EQ(std::string(127, 't'), tray.IconData().szTip);
  EXPECT_TRUE(tray.IsAddPending());
  // A work-area change tries again; the shell is still away.
  ::SendMessageA(tray.GetSafeHwnd(), WM_SETTINGCHANGE, SPI_SETWORKAREA, 0);
  EXPECT_EQ((Calls{{NIM_ADD, false}, {NIM_ADD, false}}), tray.m_calls);
  tray.m_bRefuseAdds = false;
  ::SendMessageA(tray.GetSafeHwnd(), m_uTaskbarCreated, 0, 0);
  EXPECT_FALSE(tray.IsAddPending());
  EXPECT_FALSE(tray.IsRemoved());
}

TEST_F(SystemTrayTest, RightClickShowsTheTranslatedMenuWithTheDefaultInBold) {
  m_app.m_strLanguage = "GERMAN";
  CSystemTray tray(m_app);
  ASSERT_TRUE(tray.Create(m_owner.Get(), "Hookwarden"));
  tray.SetDefaultItem(ID_TRAY_EXIT);

  // Read from a second thread while this one runs the menu.
  std::vector<std::string> items;
  MENUITEMINFOA exitItem = {};
  exitItem.cbSize = sizeof(exitItem);
  exitItem.fMask = MIIM_STATE;
  std::thread reader([&] {
    HWND hMenuWnd = nullptr;
    WaitUntil([&] { return (hMenuWnd = ::FindWindowA("#32768", nullptr)) && ::IsWindowVisible(hMenuWnd); });
    const HMENU hMenu = hMenuWnd ? reinterpret_cast<HMENU>(::SendMessageA(hMenuWnd, MN_GETHMENU, 0, 0)) : nullptr;
    for (int i = 0; hMenu && i < ::GetMenuItemCount(hMenu); ++i) {
      char szText[64] = {};
      ::GetMenuStringA(hMenu, i, szText, sizeof(szText), MF_BYPOSITION);
      items.push_back(szText);
    }
    ::GetMenuItemInfoA(hMenu, ID_TRAY_EXIT, FALSE, &exitItem);
    ::PostMessageA(hMenuWnd, WM_KEYDOWN, VK_ESCAPE, 0);
  });
  tray.OnTrayNotification(IDR_TRAYMENU, WM_RBUTTONUP);
  reader.join();
  EXPECT_EQ((std::vector<std::string>{"&Wiederherstellen", "&Hilfe", "", "&Beenden"}), items);
  EXPECT_TRUE(exitItem.fState & MFS_DEFAULT);
}
