// The deciding logic of the three request handlers, with a scripted alert: each
// case sends its requests in order and checks verdicts, alerts, lists, counters,
// alert log and the main window's notifications.
#include "console/core/RequestHandlers.h"

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "console/ConsoleResources.h"
#include "screens/RecordingPlayer.h"
#include "screens/ScriptedMainScreenServices.h"
#include "settings/ArchiveTime.h"
#include "support/TestRequests.h"

namespace {

struct SAnswer {
  int nResult;
  std::int32_t nRemember;
  std::function<void()> during;  // what arrives while the alert is open
};

class CScriptedServices : public IRequestServices, public IMainWindowNotifications {
 public:
  int RunAlert(SAlertFields& fields) override {
    alerts.push_back(fields);
    if (answers.empty()) return SCREEN_RESULT_CANCEL;
    SAnswer answer = answers.front();
    answers.pop_front();
    if (answer.during) answer.during();
    fields.nRememberAnswer = answer.nRemember;
    return answer.nResult;
  }
  std::string LocalText(unsigned nId) override {
    switch (nId) {
      case IDS_RATING_HIGH:
        return "High";
      case IDS_RATING_MEDIUM:
        return "Medium";
      case IDS_ALERT_HOST_IP:
        return "host '%s' %s";
      case IDS_ALERT_URL:
        return "site '%s'";
      default:
        return "mail " + std::to_string(nId);
    }
  }
  SLocalTime LocalTimeNow() override { return ArchiveTime(12, 7, 1, 14, 5, 9); }
  // As "ID|insert|insert...".
  void WriteEvent(SEventLogEntry entry) override {
    std::string strEvent = std::to_string(entry.ShownId());
    for (const std::string& strInsert : entry.inserts) strEvent += "|" + strInsert;
    events.push_back(strEvent);
  }
  void AddMailRow(int n) override { Note("add mail", n); }
  void AddSiteRow(int n) override { Note("add site", n); }
  void AddLogRow(int n) override { Note("add log", n); }
  void RefreshMailRow(int n) override { Note("refresh mail", n); }
  void RefreshSiteRow(int n) override { Note("refresh site", n); }
  void RefreshLogRow(int n) override { Note("refresh log", n); }
  void PushOverview() override { notes.push_back("push"); }

  std::deque<SAnswer> answers;
  std::vector<SAlertFields> alerts;
  std::vector<std::string> notes;
  std::vector<std::string> events;

 private:
  void Note(const char* szWhat, int n) { notes.push_back(std::string(szWhat) + " " + std::to_string(n)); }
};

struct SWorld {
  CMailSafeList mail;
  CWebSiteBlockingList web;
  CAlertLogSettings log;
  std::int32_t nBlocked = 0, nHigh = 0, nMailAsks = 0, nWebAsks = 0;
  CScriptedServices services;
  CPolicies policies;
  CRequestHandlers handlers{SRequestState{mail, web, log, nBlocked, nHigh, nMailAsks, nWebAsks, &policies}, services,
                            services};
  std::vector<int> verdicts;

  void Send(const EngineRequest& request) {
    const unsigned long dwCode = request.web.cWebKind == KIND_HOST_IP ? REQUEST_HOST_IP
                                 : request.web.cWebKind == KIND_URL   ? REQUEST_URL
                                                                      : REQUEST_MAIL;
    verdicts.push_back(DispatchRequest(dwCode, &request, sizeof(request), handlers).nVerdict);
  }
};

EngineRequest Ip(const char* szHost = "192.0.2.10", const char* szPort = "80") {
  return MakeWebRequest('I', "iexplore.exe", szPort, szHost);
}
EngineRequest Url(const char* szHost, const char* szPort = "80") {
  return MakeWebRequest('U', "IExplore.EXE", szPort, szHost, "login.example.com/verify");
}
EngineRequest Mail(char cKind, const char* szVisible = "http://bank.example.org/") {
  EngineRequest request = MakeMailRequest(cKind);
  CopyBounded(request.szHostIP, "198.51.100.3");
  CopyBounded(request.mail.szDate, "Mon, 7 Dec 2026");
  CopyBounded(request.mail.szVisibleLink, szVisible);
  return request;
}

// What a case leaves behind: list entries as "Type StrictedData Action" (web, then
// mail), log entries as "ActionTaken Count Rating HostIP Protocol". Each field is
// set by name; counts not named stay 0.
struct SExpect {
  SExpect& Verdicts(std::vector<int> v) {
    verdicts = std::move(v);
    return *this;
  }
  SExpect& Alerts(int n) {
    nAlerts = n;
    return *this;
  }
  SExpect& WebAsks(int n) {
    nWebAsks = n;
    return *this;
  }
  SExpect& MailAsks(int n) {
    nMailAsks = n;
    return *this;
  }
  SExpect& Blocked(int n) {
    nBlocked = n;
    return *this;
  }
  SExpect& High(int n) {
    nHigh = n;
    return *this;
  }
  SExpect& Entries(std::vector<std::string> v) {
    entries = std::move(v);
    return *this;
  }
  SExpect& Log(std::vector<std::string> v) {
    log = std::move(v);
    return *this;
  }
  // The system log's events, checked where a case names them.
  SExpect& Events(std::vector<std::string> v) {
    events = std::move(v);
    return *this;
  }

  std::vector<int> verdicts;
  int nAlerts = 0, nWebAsks = 0, nMailAsks = 0, nBlocked = 0, nHigh = 0;
  std::vector<std::string> entries;
  std::vector<std::string> log;
  std::optional<std::vector<std::string>> events;
};

struct SCase {
  SCase(const char* szCaseName, std::function<void(SWorld&)> runCase, SExpect expected,
        std::function<void(SWorld&)> moreChecks = nullptr)
      : szName(szCaseName), run(std::move(runCase)), expect(std::move(expected)), more(std::move(moreChecks)) {}
  const char* szName;
  std::function<void(SWorld&)> run;
  SExpect expect;
  std::function<void(SWorld&)> more;  // checks of this case only
};

const SAnswer kBlock{SCREEN_RESULT_CANCEL, 0, nullptr};
const SAnswer kBlockRemember{SCREEN_RESULT_CANCEL, 1, nullptr};
const SAnswer kAllow{SCREEN_RESULT_OK, 0, nullptr};
const SAnswer kAllowRemember{SCREEN_RESULT_OK, 1, nullptr};
const char* const kLogBlocked = "Block 1 Medium 192.0.2.10 HTTP";

void AddBlockedHost(SWorld& w) {
  CWebSiteItem item;
  item.nAction = PERMISSION_BLOCK;
  item.nPort = 80;
  item.strProgram = "iexplore.exe";
  item.kind = EEntryKind::HostIP;
  item.strStrictedData = item.strIPAddress = "192.0.2.10";
  w.web.AppendEntry(item);
}

std::vector<std::string> Entries(SWorld& w) {
  std::vector<std::string> entries;
  for (int i = 0; i < w.web.GetCount(); ++i) {
    const CWebSiteItem& e = *w.web.EntryAt(i);
    entries.push_back(StoredTextOf(e.kind) + " " + e.strStrictedData + " " + std::to_string(e.nAction));
  }
  for (int i = 0; i < w.mail.GetCount(); ++i) {
    const CMailSafeItem& e = *w.mail.EntryAt(i);
    entries.push_back(StoredTextOf(e.kind) + " " + e.strStrictedData + " " + std::to_string(e.nAction));
  }
  return entries;
}

std::vector<std::string> Log(SWorld& w) {
  std::vector<std::string> log;
  for (int i = 0; i < w.log.GetEntryCount(); ++i) {
    const CLogEntryDetails& e = *w.log.EntryAt(i);
    log.push_back(e.strActionTaken + " " + std::to_string(e.nCount) + " " + StoredTextOf(e.rating) + " " + e.strHostIP +
                  " " + e.strProtocol);
  }
  return log;
}

const std::string kLink = "Link Called: 'http://phish.example.com/'\nVisible: ";

const std::vector<SCase>& Cases() {
  static const std::vector<SCase> cases = {
      {"first request for a host address asks and logs Medium 1",
       [](SWorld& w) {
         w.services.answers = {kBlock};
         w.Send(Ip());
       },
       SExpect().Verdicts({0}).Alerts(1).WebAsks(1).Blocked(1).Entries({"IP 192.0.2.10 2"}).Log({kLogBlocked}),
       [](SWorld& w) {
         EXPECT_EQ("Monday, December 07, 2026 14:05:09", w.web.EntryAt(0)->strDataTime);
         const SAlertFields& alert = w.services.alerts.at(0);
         EXPECT_EQ(ALERT_KIND_WEB, alert.nAlertKind);
         EXPECT_EQ("host '192.0.2.10' %s", alert.strToolTip);  // only the first placeholder
         EXPECT_EQ((std::vector<std::string>{"add site 0", "add log 0", "push"}), w.services.notes);
       }},
      {"a remembered block answers the same request without an alert",
       [](SWorld& w) {
         w.services.answers = {kBlockRemember};
         w.Send(Ip());
         w.Send(Ip());
       },
       SExpect()
           .Verdicts({0, 0})
           .Alerts(1)
           .WebAsks(1)
           .Blocked(2)
           .Entries({"IP 192.0.2.10 1"})
           .Log({"Block 2 Medium 192.0.2.10 HTTP"})
           .Events({"1000|IP|192.0.2.10|192.0.2.10|iexplore.exe|Block|yes",
                    "1002|IP|192.0.2.10|192.0.2.10|iexplore.exe|the entry's permission is Block"}),
       [](SWorld& w) {
         EXPECT_EQ(
             (std::vector<std::string>{"add site 0", "refresh site 0", "add log 0", "push", "refresh log 0", "push"}),
             w.services.notes);
       }},
      {"a remembered allow answers the same request without an alert",
       [](SWorld& w) {
         w.services.answers = {kAllowRemember};
         w.Send(Ip());
         w.Send(Ip());
       },
       SExpect()
           .Verdicts({1, 1})
           .Alerts(1)
           .WebAsks(1)
           .Entries({"IP 192.0.2.10 0"})
           .Log({"Allow 2 Medium 192.0.2.10 HTTP"})},
      {"ten equal blocks stay Medium",
       [](SWorld& w) {
         AddBlockedHost(w);
         for (int i = 0; i < 10; ++i) w.Send(Ip());
       },
       SExpect()
           .Verdicts(std::vector<int>(10, 0))
           .Blocked(10)
           .Entries({"IP 192.0.2.10 1"})
           .Log({"Block 10 Medium 192.0.2.10 HTTP"})},
      {"the eleventh equal block is High and counted",
       [](SWorld& w) {
         AddBlockedHost(w);
         for (int i = 0; i < 11; ++i) w.Send(Ip());
       },
       SExpect()
           .Verdicts(std::vector<int>(11, 0))
           .Blocked(11)
           .High(1)
           .Entries({"IP 192.0.2.10 1"})
           .Log({"Block 11 High 192.0.2.10 HTTP"})},
      {"allowed once and blocked once gives two log entries",
       [](SWorld& w) {
         w.services.answers = {kAllow, kBlock};
         w.Send(Ip());
         w.Send(Ip());
       },
       SExpect()
           .Verdicts({1, 0})
           .Alerts(2)
           .WebAsks(2)
           .Blocked(1)
           .Entries({"IP 192.0.2.10 2"})
           .Log({"Allow 1 Medium 192.0.2.10 HTTP", kLogBlocked})},
      {"protection off allows, appends with its row and logs no action",
       [](SWorld& w) {
         w.web.SetProtectionState(0);
         w.web.SetPermission(PERMISSION_BLOCK);
         w.Send(Url("203.0.113.5"));
       },
       SExpect()
           .Verdicts({1})
           .Entries({"URL login.example.com/verify 2"})
           .Log({" 1 Medium 203.0.113.5 HTTP"})
           .Events({}),
       [](SWorld& w) {
         EXPECT_EQ((std::vector<std::string>{"add site 0", "add log 0", "push"}), w.services.notes);
       }},
      {"the list permission wins over the entry's Action",
       [](SWorld& w) {
         w.services.answers = {kAllowRemember};
         w.Send(Ip());
         w.web.SetPermission(PERMISSION_BLOCK);
         w.Send(Ip());
         w.web.SetPermission(PERMISSION_ALLOW);
         w.web.SetAction(0, PERMISSION_BLOCK);
         w.Send(Ip());
       },
       SExpect()
           .Verdicts({1, 0, 1})
           .Alerts(1)
           .WebAsks(1)
           .Blocked(1)
           .Entries({"IP 192.0.2.10 1"})
           .Log({"Allow 2 Medium 192.0.2.10 HTTP", kLogBlocked})
           // The list's Allow writes nothing: only blocks and answers are events.
           .Events({"1000|IP|192.0.2.10|192.0.2.10|iexplore.exe|Allow|yes",
                    "1002|IP|192.0.2.10|192.0.2.10|iexplore.exe|the list's permission is Block"})},
      {"display off blocks without an alert, counts the ask and keeps Ask",
       [](SWorld& w) {
         w.log.SetCustomAlertDisplay(1, 0);
         w.services.answers = {kAllowRemember};
         w.Send(Ip());
       },
       SExpect()
           .Verdicts({0})
           .WebAsks(1)
           .Blocked(1)
           .Entries({"IP 192.0.2.10 2"})
           .Log({kLogBlocked})
           .Events({"1002|IP|192.0.2.10|192.0.2.10|iexplore.exe|alerts of this kind are not shown"})},
      {"a URL from another host address uses the stored address",
       [](SWorld& w) {
         w.services.answers = {kBlock, kBlock};
         w.Send(Url("203.0.113.5"));
         EngineRequest again = Url("203.0.113.99");
         CopyBounded(again.szProcessName, "iexplore.exe");  // another letter case
         w.Send(again);
       },
       SExpect()
           .Verdicts({0, 0})
           .Alerts(2)
           .WebAsks(2)
           .Blocked(2)
           .Entries({"URL login.example.com/verify 2"})
           .Log({"Block 2 Medium 203.0.113.5 HTTP"}),
       [](SWorld& w) {
         EXPECT_EQ("203.0.113.5", w.services.alerts.at(1).strIPAddress);
         EXPECT_EQ("site 'login.example.com/verify'", w.services.alerts.at(1).strToolTip);
       }},
      {"two link findings with different visible links are two entries",
       [](SWorld& w) {
         w.services.answers = {kBlock, kBlock};
         w.Send(Mail('L', "http://phish.example.com/"));
         w.Send(Mail('L'));
       },
       SExpect()
           .Verdicts({0, 0})
           .Alerts(2)
           .MailAsks(2)
           .Blocked(2)
           .Entries({kLink + "'http://phish.example.com/' 2", kLink + "'http://bank.example.org/' 2"})
           .Log({"Block 1 Medium 198.51.100.3 HTTP", "Block 1 Medium 198.51.100.3 HTTP"})},
      {"block only: the alert says so, its Allow blocks and is not remembered, a stored Allow blocks",
       [](SWorld& w) {
         ASSERT_TRUE(w.policies.SetNumber(EPolicy::BlockOnly, 1));
         w.services.answers = {kAllowRemember};
         w.Send(Ip());
         w.web.SetAction(0, PERMISSION_ALLOW);
         w.Send(Ip());
       },
       SExpect()
           .Verdicts({0, 0})
           .Alerts(1)
           .WebAsks(1)
           .Blocked(2)
           .Entries({"IP 192.0.2.10 0"})
           .Log({"Block 2 Medium 192.0.2.10 HTTP"})
           .Events({"1000|IP|192.0.2.10|192.0.2.10|iexplore.exe|Block|no",
                    "1002|IP|192.0.2.10|192.0.2.10|iexplore.exe|the administrator's policy blocks without asking"}),
       [](SWorld& w) {
         const SAlertFields& alert = w.services.alerts.at(0);
         EXPECT_EQ(1, alert.nBlockOnly);
         EXPECT_EQ("host '192.0.2.10' %s\nmail 7028", alert.strToolTip);
       }},
      {"block without asking: no alert, Block, nothing remembered",
       [](SWorld& w) {
         ASSERT_TRUE(w.policies.SetNumber(EPolicy::BlockWithoutAsking, 1));
         w.Send(Ip());
       },
       SExpect()
           .Verdicts({0})
           .WebAsks(1)
           .Blocked(1)
           .Entries({"IP 192.0.2.10 2"})
           .Log({kLogBlocked})
           .Events({"1002|IP|192.0.2.10|192.0.2.10|iexplore.exe|the administrator's policy blocks without asking"})},
      {"ports 8080 and 443 are HTTP and Unknown",
       [](SWorld& w) {
         w.services.answers = {kBlock, kBlock};
         w.Send(Ip("192.0.2.10", "8080"));
         w.Send(Ip("192.0.2.10", "443"));
       },
       SExpect()
           .Verdicts({0, 0})
           .Alerts(2)
           .WebAsks(2)
           .Blocked(2)
           .Entries({"IP 192.0.2.10 2", "IP 192.0.2.10 2"})
           .Log({kLogBlocked, "Block 1 Medium 192.0.2.10 Unknown"})},
      {"a mail alert takes date, address, attachment and text from the request",
       [](SWorld& w) {
         w.services.answers = {kBlockRemember};
         EngineRequest request = Mail('F');
         CopyBounded(request.mail.szAttachment, "invoice.zip");
         w.Send(request);
       },
       SExpect()
           .Verdicts({0})
           .Alerts(1)
           .MailAsks(1)
           .Blocked(1)
           .Entries({"From billing@example.net 1"})
           .Log({"Block 1 Medium 198.51.100.3 HTTP"})
           .Events({"1001|From|billing@example.net|user@example.org|verify your account|browser.exe|Block|yes"}),
       [](SWorld& w) {
         const SAlertFields& alert = w.services.alerts.at(0);
         EXPECT_EQ(ALERT_KIND_MAIL, alert.nAlertKind);
         EXPECT_EQ("Mon, 7 Dec 2026|198.51.100.3|invoice.zip|click here|mail 7021",
                   alert.strDateTime + "|" + alert.strIPAddress + "|" + alert.strAttachment + "|" + alert.strExtraText +
                       "|" + alert.strToolTip);
         EXPECT_EQ("Mon, 7 Dec 2026", w.mail.EntryAt(0)->strDataTime);
         EXPECT_EQ((std::vector<std::string>{"add mail 0", "refresh mail 0", "add log 0", "push"}), w.services.notes);
       }},
      {"a request inside an open alert leaves the outer one its own entry",
       [](SWorld& w) {
         w.services.answers = {{SCREEN_RESULT_OK, 1, [&w] { w.Send(Ip("192.0.2.66")); }}, kBlockRemember};
         w.Send(Ip());
       },
       // The inner request finishes first.
       SExpect()
           .Verdicts({0, 1})
           .Alerts(2)
           .WebAsks(2)
           .Blocked(1)
           .Entries({"IP 192.0.2.10 0", "IP 192.0.2.66 1"})
           .Log({"Block 1 Medium 192.0.2.66 HTTP", "Allow 1 Medium 192.0.2.10 HTTP"}),
       [](SWorld& w) {
         // Rows in the order of their entries, so that each row addresses its own.
         EXPECT_EQ((std::vector<std::string>{"add site 0", "add site 1", "refresh site 1", "add log 0", "push",
                                             "refresh site 0", "add log 1", "push"}),
                   w.services.notes);
       }},
  };
  return cases;
}

TEST(RequestHandling, DecidesEveryCaseOfTheTable) {
  for (const SCase& c : Cases()) {
    SCOPED_TRACE(c.szName);
    SWorld w;
    c.run(w);
    const SExpect& e = c.expect;
    EXPECT_EQ(e.verdicts, w.verdicts);
    EXPECT_EQ(e.nAlerts, static_cast<int>(w.services.alerts.size()));
    EXPECT_EQ(e.nWebAsks, w.nWebAsks);
    EXPECT_EQ(e.nMailAsks, w.nMailAsks);
    EXPECT_EQ(e.nBlocked, w.nBlocked);
    EXPECT_EQ(e.nHigh, w.nHigh);
    EXPECT_EQ(e.entries, Entries(w));
    EXPECT_EQ(e.log, Log(w));
    if (e.events) EXPECT_EQ(*e.events, w.services.events);
    if (c.more) c.more(w);
  }
}

// The main screen's rows as its movie lists them, after a request with the site
// list's protection off and one with it on: Remove on a row takes that row's site.
TEST(RequestHandling, RowsKeepAddressingTheirOwnEntriesAfterProtectionOff) {
  CMailSafeList mail;
  CWebSiteBlockingList web;
  CAlertLogSettings log;
  std::int32_t anCounters[4] = {}, nStartup = 1, nSplash = 0, nLogin = 0;
  std::string strPassword, strLanguage = "English", strVersion = "1.0";
  CRecordingPlayer player;
  CScriptedMainScreenServices screenServices;
  CMainScreen screen{
      player,
      SMainScreenState{mail, web, log, anCounters[0], anCounters[1], anCounters[2], anCounters[3], nStartup, nSplash,
                       nLogin, strPassword, strLanguage, strVersion, strVersion, strVersion},
      screenServices};
  CScriptedServices services;
  CRequestHandlers handlers{SRequestState{mail, web, log, anCounters[0], anCounters[1], anCounters[2], anCounters[3]},
                            services, screen};
  screen.StartFeeding();  // nothing stored: the feed ends, rows go straight to the movie
  web.SetProtectionState(0);
  handlers.HandleWebRequest(DecodeWebRequest(Ip("192.0.2.10")));
  web.SetProtectionState(1);
  services.answers = {kBlock};
  handlers.HandleWebRequest(DecodeWebRequest(Ip("192.0.2.66")));

  const std::string strRowData = "Set _root.ScamSiteStructItem.StrictedData=";
  std::vector<std::string> rows;
  for (const std::string& strCall : player.calls)
    if (strCall.rfind(strRowData, 0) == 0) rows.push_back(strCall.substr(strRowData.size()));
  ASSERT_EQ((std::vector<std::string>{"192.0.2.10", "192.0.2.66"}), rows);
  screen.OnCommand("IDC_FS_siteListItemRemove", "1");
  ASSERT_EQ(1, web.GetCount());
  EXPECT_EQ("192.0.2.10", web.EntryAt(0)->strStrictedData);
}

}  // namespace
