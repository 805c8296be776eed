// The main window's feed with the real player and movie: 2,000 entries per view
// reach their list views once each and in list order, also when the request
// handling adds a row while the feed runs.
#include <gtest/gtest.h>
#include <windows.h>
// after windows.h, which it needs
#include <commctrl.h>

#include <string>

#include "console/screens/MainScreen_win.h"
#include "console/settings/ConsoleSettings_win.h"
#include "support/TempFolder_win.h"
#include "support/WaitUntil_win.h"

namespace {

enum : int { ID_PLAYER = 2003, ID_MAIL_ROWS = 1300, ID_SITE_ROWS = 1400, ID_LOG_ROWS = 1500 };
constexpr int kEntries = 2000;

class CNoTrayIcon : public IMainTrayIcon {
 public:
  bool Create(HWND, const std::string&) override { return true; }
  void SetDefaultItem(UINT) override {}
  void Remove() override {}
  void OnNotify(WPARAM, LPARAM) override {}
  void HideWindowToTray(HWND) override {}
  void RestoreWindowFromTray(HWND) override {}
};

std::string Cell(HWND hList, int nRow, int nColumn) {
  char szText[64] = "";
  LVITEMA item = {};
  item.iSubItem = nColumn;
  item.pszText = szText;
  item.cchTextMax = sizeof(szText);
  ::SendMessageA(hList, LVM_GETITEMTEXTA, nRow, reinterpret_cast<LPARAM>(&item));
  return szText;
}

// Each row's data cell names its entry: "rowN" for the N-th row.
void ExpectRowsInOrder(HWND hList, int nColumn, int nRows) {
  ASSERT_EQ(nRows, ::SendMessageA(hList, LVM_GETITEMCOUNT, 0, 0));
  for (int i = 0; i < nRows; ++i) {
    ASSERT_EQ("row" + std::to_string(i), Cell(hList, i, nColumn)) << "row " << i;
  }
}

}  // namespace

TEST(MainScreenFeed, EveryEntryShowsOnceInListOrder) {
  CConsoleSettings settings(BuiltAppFolder().c_str());
  for (int i = 0; i < kEntries; ++i) {
    CWebSiteItem site;
    site.strType = "URL";
    site.strStrictedData = "row" + std::to_string(i);
    settings.m_webSiteBlockingList.AppendEntry(site);
    CMailSafeItem mail;
    mail.strType = "From";
    mail.strStrictedData = site.strStrictedData;
    settings.m_mailSafeList.AppendEntry(mail);
    CLogEntryDetails log;
    log.strStrictedData = site.strStrictedData;
    settings.m_alertLog.AppendEntry(log);
  }

  WNDCLASSA wc = {};
  wc.lpfnWndProc = ::DefWindowProcA;
  wc.lpszClassName = "MainScreenFeedHost";
  ::RegisterClassA(&wc);
  CDestroyWindow host(
      ::CreateWindowExA(0, wc.lpszClassName, "", WS_POPUP, 0, 0, 480, 320, nullptr, nullptr, nullptr, nullptr));
  ASSERT_TRUE(host);
  CNoTrayIcon tray;
  CMainScreenWindow screen(settings, tray);
  screen.Load(host.Get());
  const HWND hPlayer = ::GetDlgItem(host.Get(), ID_PLAYER);
  const HWND hSites = ::GetDlgItem(hPlayer, ID_SITE_ROWS);
  const auto rows = [](HWND hList) { return static_cast<int>(::SendMessageA(hList, LVM_GETITEMCOUNT, 0, 0)); };

  screen.Start();
  // A request appends an entry while the feed runs: the feed brings its row too.
  ASSERT_TRUE(PumpUntil([&] { return rows(hSites) >= 10; }, 60000));
  CWebSiteItem added;
  added.strStrictedData = "row" + std::to_string(kEntries);
  screen.Notifications().AddSiteRow(settings.m_webSiteBlockingList.AppendEntry(added));

  EXPECT_TRUE(PumpUntil(
      [&] {
        return rows(hSites) == kEntries + 1 && rows(::GetDlgItem(hPlayer, ID_MAIL_ROWS)) == kEntries &&
               rows(::GetDlgItem(hPlayer, ID_LOG_ROWS)) == kEntries && screen.IsFeedOver();
      },
      60000));
  ExpectRowsInOrder(hSites, 1, kEntries + 1);
  ExpectRowsInOrder(::GetDlgItem(hPlayer, ID_MAIL_ROWS), 1, kEntries);
  ExpectRowsInOrder(::GetDlgItem(hPlayer, ID_LOG_ROWS), 3, kEntries);
  screen.End();
}
