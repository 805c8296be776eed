// The tray icon under Wine's own tray: what it hands the shell when it is added,
// added again and made to wait, and the menu it opens on a right click.
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

struct SNotifyCall {
  DWORD dwMessage;
  UINT uFlags;
  bool bResult;
};

// Passes every call to the shell and keeps what it asked and got; with
// m_bRefuseAdds the shell seems to be away.
class CWatchedTray : public CSystemTray {
 public:
  using CSystemTray::CSystemTray;
  std::vector<SNotifyCall> m_calls;
  bool m_bRefuseAdds = false;

 protected:
  bool NotifyIcon(DWORD dwMessage, NOTIFYICONDATAA& data) override {
    const bool bResult = !(m_bRefuseAdds && dwMessage == NIM_ADD) && CSystemTray::NotifyIcon(dwMessage, data);
    m_calls.push_back({dwMessage, data.uFlags, bResult});
    return bResult;
  }
};

class SystemTrayTest : public ::testing::Test {
 protected:
  SystemTrayTest() : m_app(BuiltAppFolder().c_str()) {
    m_owner.Reset(::CreateWindowExA(0, "STATIC", "owner", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr));
  }
  CConsoleSettings m_app;
  CDestroyWindow m_owner;
};

constexpr UINT kIconFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;

}  // namespace

TEST_F(SystemTrayTest, IconIsAddedWithTheTitleAndAgainWhenTheTaskbarIsBack) {
  CWatchedTray tray(m_app);
  ASSERT_TRUE(tray.Create(m_owner.Get(), "Hookwarden"));
  ASSERT_EQ(1u, tray.m_calls.size());
  EXPECT_EQ(static_cast<DWORD>(NIM_ADD), tray.m_calls[0].dwMessage);
  EXPECT_TRUE(tray.m_calls[0].bResult);
  const NOTIFYICONDATAA& data = tray.IconData();
  EXPECT_EQ(static_cast<DWORD>(NOTIFYICONDATAA_V2_SIZE), data.cbSize);
  EXPECT_EQ(m_owner.Get(), data.hWnd);
  EXPECT_EQ(static_cast<UINT>(IDR_TRAYMENU), data.uID);
  EXPECT_EQ(WM_TRAY_NOTIFY, data.uCallbackMessage);
  EXPECT_EQ(kIconFlags, tray.m_calls[0].uFlags);
  EXPECT_NE(nullptr, data.hIcon);
  EXPECT_STREQ("Hookwarden", data.szTip);

  // The shell lost the icon and tells every program that the taskbar is back.
  NOTIFYICONDATAA lost = data;
  ASSERT_TRUE(::Shell_NotifyIconA(NIM_DELETE, &lost));
  tray.m_calls.clear();
  ::PostMessageA(HWND_BROADCAST, ::RegisterWindowMessageA("TaskbarCreated"), 0, 0);
  PumpUntil([&] { return tray.m_calls.size() >= 2; });
  ASSERT_EQ(2u, tray.m_calls.size());
  EXPECT_EQ(static_cast<DWORD>(NIM_DELETE), tray.m_calls[0].dwMessage);
  EXPECT_FALSE(tray.m_calls[0].bResult);
  EXPECT_EQ(static_cast<DWORD>(NIM_ADD), tray.m_calls[1].dwMessage);
  EXPECT_TRUE(tray.m_calls[1].bResult);
  EXPECT_FALSE(tray.IsRemoved());

  ASSERT_TRUE(tray.RemoveIcon());
  EXPECT_TRUE(tray.IsRemoved());
  EXPECT_TRUE(tray.IsHidden());
}

TEST_F(SystemTrayTest, FailedAddWaitsForTheTaskbarAndLongTooltipsAreCut) {
  CWatchedTray tray(m_app);
  tray.m_bRefuseAdds = true;
  EXPECT_FALSE(tray.Create(m_owner.Get(), std::string(200, 't')));
  EXPECT_EQ(std::string(127, 't'), tray.IconData().szTip);
  EXPECT_TRUE(tray.IsAddPending());
  EXPECT_TRUE(tray.IsRemoved());

  // A work-area change adds a pending icon; here the shell is still away.
  tray.m_calls.clear();
  ::SendMessageA(tray.GetSafeHwnd(), WM_SETTINGCHANGE, SPI_SETWORKAREA, 0);
  ASSERT_EQ(1u, tray.m_calls.size());
  EXPECT_EQ(static_cast<DWORD>(NIM_ADD), tray.m_calls[0].dwMessage);
  EXPECT_TRUE(tray.IsAddPending());

  tray.m_bRefuseAdds = false;
  ::SendMessageA(tray.GetSafeHwnd(), ::RegisterWindowMessageA("TaskbarCreated"), 0, 0);
  EXPECT_FALSE(tray.IsAddPending());
  EXPECT_FALSE(tray.IsRemoved());
  EXPECT_TRUE(tray.m_calls.back().bResult);
}

TEST_F(SystemTrayTest, RightClickShowsTheTranslatedMenuWithTheDefaultInBold) {
  m_app.m_strLanguage = "GERMAN";
  CSystemTray tray(m_app);
  ASSERT_TRUE(tray.Create(m_owner.Get(), "Hookwarden"));
  tray.SetDefaultItem(ID_TRAY_EXIT);

  // Read from a second thread while this one runs the menu.
  std::vector<std::string> items;
  UINT uDefault = 0;
  UINT uDefaultState = 0;
  std::thread reader([&] {
    HWND hMenuWnd = nullptr;
    WaitUntil([&] { return (hMenuWnd = ::FindWindowA("#32768", nullptr)) && ::IsWindowVisible(hMenuWnd); });
    const HMENU hMenu = hMenuWnd ? reinterpret_cast<HMENU>(::SendMessageA(hMenuWnd, MN_GETHMENU, 0, 0)) : nullptr;
    for (int i = 0; hMenu && i < ::GetMenuItemCount(hMenu); ++i) {
      char szText[64] = {};
      ::GetMenuStringA(hMenu, i, szText, sizeof(szText), MF_BYPOSITION);
      items.push_back(szText);
    }
    if (hMenu) {
      uDefault = ::GetMenuDefaultItem(hMenu, FALSE, 0);
      MENUITEMINFOA info = {};
      info.cbSize = sizeof(info);
      info.fMask = MIIM_STATE;
      ::GetMenuItemInfoA(hMenu, ID_TRAY_EXIT, FALSE, &info);
      uDefaultState = info.fState;
    }
    ::PostMessageA(hMenuWnd, WM_KEYDOWN, VK_ESCAPE, 0);
  });
  tray.OnTrayNotification(IDR_TRAYMENU, WM_RBUTTONUP);
  reader.join();

  const std::vector<std::string> expected = {"&Wiederherstellen", "&Hilfe", "", "&Beenden"};
  EXPECT_EQ(expected, items);
  EXPECT_EQ(static_cast<UINT>(ID_TRAY_EXIT), uDefault);
  EXPECT_TRUE(uDefaultState & MFS_DEFAULT);
}
