// The main window's lists with the real player and movie, edited by the user and
// by alerts: the rows always show the console's entries in order, so a row the
// user acts on names the entry the user saw, and a remembered answer lands on the
// entry its alert asked about.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "console/ConsoleResources.h"
#include "console/core/RequestHandlers.h"
#include "screens/MainScreenHost_win.h"
#include "support/TempFolder_win.h"
#include "support/WaitUntil_win.h"

namespace {

CWebSiteItem HostEntry(const std::string& strHost) {
  CWebSiteItem item;
  item.strType = "IP";
  item.strStrictedData = item.strScamSite = item.strIPAddress = strHost;
  item.strProgram = "iexplore.exe";
  item.nPort = 80;
  return item;
}

SWebRequest HostRequest(const std::string& strHost) {
  SWebRequest request;
  request.eKind = EWebKind::HostIP;
  request.source = {"iexplore.exe", strHost, 80};
  return request;
}

// What the view shows of the site list: "data action" per row; the same for the
// list's entries.
std::string ShownSites(const CMainScreenHost& host) {
  std::string strShown;
  for (int i = 0; i < host.Rows(ID_MAIN_SITE_ROWS); ++i)
    strShown += host.Cell(ID_MAIN_SITE_ROWS, i, 1) + " " + host.Cell(ID_MAIN_SITE_ROWS, i, 2) + "; ";
  return strShown;
}
std::string SiteEntries(const CWebSiteBlockingList& list) {
  static const char* const kActions[] = {"Allow", "Block", "Ask"};
  std::string strEntries;
  for (int i = 0; i < list.GetCount(); ++i)
    strEntries += list.EntryAt(i)->strStrictedData + " " + kActions[list.EntryAt(i)->nAction] + "; ";
  return strEntries;
}

struct SListsFixture {
  CConsoleSettings settings{BuiltAppFolder().c_str()};
  CMainScreenHost host{settings};

  // Three site and three mail entries, all Ask, fed into the views.
  bool Feed() {
    for (const char* szHost : {"192.0.2.1", "192.0.2.2", "192.0.2.3"}) {
      settings.m_webSiteBlockingList.AppendEntry(HostEntry(szHost));
      CMailSafeItem mail;
      mail.strType = "From";
      mail.strStrictedData = std::string("sender@") + szHost;
      settings.m_mailSafeList.AppendEntry(mail);
    }
    host.Screen().Start();
    return PumpUntil([&] {
      return host.Screen().IsFeedOver() && host.Rows(ID_MAIN_MAIL_ROWS) == 3 && host.Rows(ID_MAIN_SITE_ROWS) == 3;
    });
  }
  // The site view shows the list's entries, once it has taken the last change.
  void ExpectSitesShownAsListed() {
    const CWebSiteBlockingList& sites = settings.m_webSiteBlockingList;
    PumpUntil([&] { return ShownSites(host) == SiteEntries(sites); });
    EXPECT_EQ(SiteEntries(sites), ShownSites(host));
  }
};

// The alert: the user does something in the main window, then answers and ticks
// "remember".
class CAlertThatWaits : public IRequestServices {
 public:
  int RunAlert(SAlertFields& fields) override {
    if (during) during();
    fields.nRememberAnswer = 1;
    return nAnswer;
  }
  std::string LocalText(unsigned nStringId) override { return std::to_string(nStringId); }
  SLocalTime LocalTimeNow() override { return SLocalTime(); }

  std::function<void()> during;
  int nAnswer = SCREEN_RESULT_OK;
};

}  // namespace

TEST(MainWindowLists, RowsNameTheEntriesTheUserSeesAfterRemovals) {
  SListsFixture f;
  ASSERT_TRUE(f.Feed());
  const CWebSiteBlockingList& sites = f.settings.m_webSiteBlockingList;
  f.host.Select(ID_MAIN_SITE_ROWS, 1);
  f.host.Press(ID_MAIN_SITE_REMOVE);
  EXPECT_EQ("192.0.2.1 Ask; 192.0.2.3 Ask; ", SiteEntries(sites));
  f.ExpectSitesShownAsListed();
  // No row is chosen after a removal: Allow names none.
  f.host.Press(ID_MAIN_SITE_ALLOW);
  EXPECT_EQ("192.0.2.1 Ask; 192.0.2.3 Ask; ", SiteEntries(sites));

  f.host.Select(ID_MAIN_SITE_ROWS, 1);
  f.host.Press(ID_MAIN_SITE_ALLOW);
  EXPECT_EQ("192.0.2.1 Ask; 192.0.2.3 Allow; ", SiteEntries(sites));
  f.ExpectSitesShownAsListed();

  f.host.Select(ID_MAIN_MAIL_ROWS, 0);
  f.host.Press(ID_MAIN_MAIL_REMOVE);
  f.host.Select(ID_MAIN_MAIL_ROWS, 1);
  f.host.Press(ID_MAIN_MAIL_BLOCK);
  ASSERT_EQ(2, f.settings.m_mailSafeList.GetCount());
  EXPECT_EQ(PERMISSION_BLOCK, f.settings.m_mailSafeList.EntryAt(1)->nAction);
  EXPECT_EQ("sender@192.0.2.3 Block",
            f.host.Cell(ID_MAIN_MAIL_ROWS, 1, 1) + " " + f.host.Cell(ID_MAIN_MAIL_ROWS, 1, 2));
  f.host.Press(ID_MAIN_MAIL_REMOVE_ALL);
  f.host.Press(ID_MAIN_SITE_REMOVE_ALL);
  EXPECT_EQ(0, sites.GetCount());
  EXPECT_EQ(0, f.settings.m_mailSafeList.GetCount());
  f.ExpectSitesShownAsListed();
  EXPECT_EQ(0, f.host.Rows(ID_MAIN_MAIL_ROWS));
}

TEST(MainWindowLists, RememberedAnswerLandsOnItsEntryAfterRemovalsWhileTheAlertIsOpen) {
  SListsFixture f;
  ASSERT_TRUE(f.Feed());
  CWebSiteBlockingList& sites = f.settings.m_webSiteBlockingList;
  COverviewSettings& overview = f.settings.m_overview;
  CAlertThatWaits alert;
  CRequestHandlers handlers(
      SRequestState{f.settings.m_mailSafeList, sites, f.settings.m_alertLog, overview.m_nNoOfBlockedInstructions,
                    overview.m_nNoOfBlockedInstructionsHaveHighRating, overview.m_nNoOfEmailProtection,
                    overview.m_nNoOfWebProtection},
      alert, f.host.Screen().Notifications());

  // A new host's entry is the fourth; the user removes the second while asked.
  alert.during = [&] {
    f.host.Select(ID_MAIN_SITE_ROWS, 1);
    f.host.Press(ID_MAIN_SITE_REMOVE);
  };
  EXPECT_EQ(VERDICT_ALLOW, handlers.HandleWebRequest(HostRequest("192.0.2.99")));
  EXPECT_EQ("192.0.2.1 Ask; 192.0.2.3 Ask; 192.0.2.99 Allow; ", SiteEntries(sites));
  f.ExpectSitesShownAsListed();

  // The entry asked about goes with all others: the answer brings it back.
  alert.during = [&] { f.host.Press(ID_MAIN_SITE_REMOVE_ALL); };
  alert.nAnswer = SCREEN_RESULT_CANCEL;
  EXPECT_EQ(VERDICT_BLOCK, handlers.HandleWebRequest(HostRequest("192.0.2.1")));
  EXPECT_EQ("192.0.2.1 Block; ", SiteEntries(sites));
  f.ExpectSitesShownAsListed();
}
