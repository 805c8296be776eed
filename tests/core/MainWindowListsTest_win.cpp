// The main window's lists with the real player and movie, edited by the user and
// by alerts: the rows always show the console's entries in order, so a row the
// user acts on names the entry the user saw, and a remembered answer lands on the
// entry its alert asked about.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "console/core/RequestHandlers.h"
#include "screens/MainScreenHost_win.h"
#include "support/TempFolder_win.h"
#include "support/TestRequests.h"
#include "support/WaitUntil_win.h"

namespace {

// "data action; " for each row of a view, and for each entry of a list.
std::string Shown(const CMainScreenHost& host, int nList) {
  std::string strShown;
  for (int i = 0; i < host.Rows(nList); ++i) strShown += host.Cell(nList, i, 1) + " " + host.Cell(nList, i, 2) + "; ";
  return strShown;
}
template <class TList>
std::string Listed(const TList& list) {
  static const char* const kActions[] = {"Allow", "Block", "Ask"};
  std::string strListed;
  for (int i = 0; i < list.GetCount(); ++i)
    strListed += list.EntryAt(i)->strStrictedData + " " + kActions[list.EntryAt(i)->nAction] + "; ";
  return strListed;
}

SWebRequest HostRequest(const char* szHost) {
  return DecodeWebRequest(MakeWebRequest('I', "iexplore.exe", "80", szHost));
}

// The alert: while it is open the user acts in the main window, then answers
// with "remember" ticked.
class CAlertThatWaits : public IRequestServices {
 public:
  int RunAlert(SAlertFields& fields) override {
    during();
    fields.nRememberAnswer = 1;
    return nAnswer;
  }
  std::string LocalText(unsigned nStringId) override { return std::to_string(nStringId); }
  SLocalTime LocalTimeNow() override { return SLocalTime(); }
  void WriteEvent(SEventLogEntry) override {}

  std::function<void()> during;
  int nAnswer = SCREEN_RESULT_OK;
};

struct SListsFixture {
  CConsoleSettings settings{BuiltAppFolder().c_str()};
  CWebSiteBlockingList& sites = settings.m_webSiteBlockingList;
  CMainScreenHost host{settings};
  CAlertThatWaits alert;
  COverviewSettings& o = settings.m_overview;
  CRequestHandlers handlers{
      SRequestState{settings.m_mailSafeList, sites, settings.m_alertLog, o.m_nNoOfBlockedInstructions,
                    o.m_nNoOfBlockedInstructionsHaveHighRating, o.m_nNoOfEmailProtection, o.m_nNoOfWebProtection},
      alert, host.Screen().Notifications()};

  // Three site entries (Ask) from requests, three mail entries, fed into the views.
  bool Feed() {
    sites.SetProtectionState(0);
    for (const char* szHost : {"192.0.2.1", "192.0.2.2", "192.0.2.3"}) {
      handlers.HandleWebRequest(HostRequest(szHost));
      CMailSafeItem mail;
      mail.strStrictedData = std::string("from@") + szHost;
      settings.m_mailSafeList.AppendEntry(mail);
    }
    sites.SetProtectionState(1);
    host.Screen().Start();
    return PumpUntil([&] { return host.Rows(ID_MAIN_MAIL_ROWS) == 3 && host.Rows(ID_MAIN_SITE_ROWS) == 3; });
  }
  // The view shows the list's entries once it has taken the last change.
  template <class TList>
  void ExpectShownAsListed(int nList, const TList& list) {
    PumpUntil([&] { return Shown(host, nList) == Listed(list); });
    EXPECT_EQ(Listed(list), Shown(host, nList));
  }
};

}  // namespace

TEST(MainWindowLists, RowsNameTheEntriesTheUserSeesAfterRemovals) {
  SListsFixture f;
  ASSERT_TRUE(f.Feed());
  f.host.Select(ID_MAIN_SITE_ROWS, 1);
  f.host.Press(ID_MAIN_SITE_REMOVE);
  f.host.Press(ID_MAIN_SITE_BLOCK);  // no row is chosen after a removal
  EXPECT_EQ("192.0.2.1 Ask; 192.0.2.3 Ask; ", Listed(f.sites));
  f.host.Select(ID_MAIN_SITE_ROWS, 1);
  f.host.Press(ID_MAIN_SITE_ALLOW);
  EXPECT_EQ("192.0.2.1 Ask; 192.0.2.3 Allow; ", Listed(f.sites));
  f.ExpectShownAsListed(ID_MAIN_SITE_ROWS, f.sites);

  f.host.Select(ID_MAIN_MAIL_ROWS, 0);
  f.host.Press(ID_MAIN_MAIL_REMOVE);
  f.host.Select(ID_MAIN_MAIL_ROWS, 1);
  f.host.Press(ID_MAIN_MAIL_BLOCK);
  EXPECT_EQ("from@192.0.2.2 Ask; from@192.0.2.3 Block; ", Listed(f.settings.m_mailSafeList));
  f.ExpectShownAsListed(ID_MAIN_MAIL_ROWS, f.settings.m_mailSafeList);
  f.host.Press(ID_MAIN_MAIL_REMOVE_ALL);
  f.ExpectShownAsListed(ID_MAIN_MAIL_ROWS, f.settings.m_mailSafeList);
}

TEST(MainWindowLists, RememberedAnswerLandsOnItsEntryAfterRemovalsWhileTheAlertIsOpen) {
  SListsFixture f;
  ASSERT_TRUE(f.Feed());
  // A new host's entry is the fourth; the user removes the second while asked.
  f.alert.during = [&] {
    f.host.Select(ID_MAIN_SITE_ROWS, 1);
    f.host.Press(ID_MAIN_SITE_REMOVE);
  };
  EXPECT_EQ(VERDICT_ALLOW, f.handlers.HandleWebRequest(HostRequest("192.0.2.99")));
  EXPECT_EQ("192.0.2.1 Ask; 192.0.2.3 Ask; 192.0.2.99 Allow; ", Listed(f.sites));
  f.ExpectShownAsListed(ID_MAIN_SITE_ROWS, f.sites);

  // The entry asked about goes with all others: the answer brings it back.
  f.alert.during = [&] { f.host.Press(ID_MAIN_SITE_REMOVE_ALL); };
  f.alert.nAnswer = SCREEN_RESULT_CANCEL;
  EXPECT_EQ(VERDICT_BLOCK, f.handlers.HandleWebRequest(HostRequest("192.0.2.1")));
  EXPECT_EQ("192.0.2.1 Block; ", Listed(f.sites));
  f.ExpectShownAsListed(ID_MAIN_SITE_ROWS, f.sites);
}
