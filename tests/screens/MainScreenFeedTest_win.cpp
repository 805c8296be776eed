// The main window's feed with the real player and movie: 2,000 entries per view
// reach their list views once each and in list order, also when the request
// handling adds a row while the feed runs.
#include <gtest/gtest.h>

#include <string>

#include "screens/MainScreenHost_win.h"
#include "support/TempFolder_win.h"
#include "support/WaitUntil_win.h"

namespace {

constexpr int kEntries = 2000;

// Each row's data cell names its entry: "rowN" for the N-th row.
void ExpectRowsInOrder(const CMainScreenHost& host, int nList, int nColumn, int nRows) {
  ASSERT_EQ(nRows, host.Rows(nList));
  for (int i = 0; i < nRows; ++i) {
    ASSERT_EQ("row" + std::to_string(i), host.Cell(nList, i, nColumn)) << "row " << i;
  }
}

}  // namespace

TEST(MainScreenFeed, EveryEntryShowsOnceInListOrder) {
  CConsoleSettings settings(BuiltAppFolder().c_str());
  for (int i = 0; i < kEntries; ++i) {
    CWebSiteItem site;
    site.kind = EEntryKind::Url;
    site.strStrictedData = "row" + std::to_string(i);
    settings.m_webSiteBlockingList.AppendEntry(site);
    CMailSafeItem mail;
    mail.kind = EEntryKind::From;
    mail.strStrictedData = site.strStrictedData;
    settings.m_mailSafeList.AppendEntry(mail);
    CLogEntryDetails log;
    log.strStrictedData = site.strStrictedData;
    settings.m_alertLog.AppendEntry(log);
  }

  CMainScreenHost host(settings);
  CMainScreenWindow& screen = host.Screen();
  screen.Start();
  // A request appends an entry while the feed runs: the feed brings its row too.
  ASSERT_TRUE(PumpUntil([&] { return host.Rows(ID_MAIN_SITE_ROWS) >= 10; }, 60000));
  CWebSiteItem added;
  added.strStrictedData = "row" + std::to_string(kEntries);
  screen.Notifications().AddSiteRow(settings.m_webSiteBlockingList.AppendEntry(added));

  EXPECT_TRUE(PumpUntil(
      [&] {
        return host.Rows(ID_MAIN_SITE_ROWS) == kEntries + 1 && host.Rows(ID_MAIN_MAIL_ROWS) == kEntries &&
               host.Rows(ID_MAIN_LOG_ROWS) == kEntries && screen.IsFeedOver();
      },
      60000));
  ExpectRowsInOrder(host, ID_MAIN_SITE_ROWS, 1, kEntries + 1);
  ExpectRowsInOrder(host, ID_MAIN_MAIL_ROWS, 1, kEntries);
  ExpectRowsInOrder(host, ID_MAIN_LOG_ROWS, 3, kEntries);
}
