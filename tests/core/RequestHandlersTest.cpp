// The deciding logic of the three request handlers, with a scripted alert: each
// case sends its requests in order and checks verdicts, alerts, lists, counters,
// alert log and the main window's notifications.
#include "console/core/RequestHandlers.h"

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "console/ConsoleResources.h"
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
  SLocalTime LocalTimeNow() override {
    SLocalTime time;
    time.wYear = 2026;
    time.wMonth = 12;
    time.wDay = 7;
    time.wDayOfWeek = 1;
    time.wHour = 14;
    time.wMinute = 5;
    time.wSecond = 9;
    return time;
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

 private:
  void Note(const char* szWhat, int n) { notes.push_back(std::string(szWhat) + " " + std::to_string(n)); }
};

struct SWorld {
  CMailSafeList mail;
  CWebSiteBlockingList web;
  CAlertLogSettings log;
  std::int32_t nBlocked = 0, nHigh = 0, nMailAsks = 0, nWebAsks = 0;
  CScriptedServices services;
  CRequestHandlers handlers{SRequestState{mail, web, log, nBlocked, nHigh, nMailAsks, nWebAsks}, services, services};
  std::vector<int> verdicts;

  void Send(const EngineRequest& request) {
    const unsigned long dwCode = request.web.cWebKind == 'I'   ? REQUEST_HOST_IP
                                 : request.web.cWebKind == 'U' ? REQUEST_URL
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

struct SCase {
  const char* szName;
  std::function<void(SWorld&)> run;
  std::function<void(SWorld&)> check;
};

const SAnswer kBlock{SCREEN_RESULT_CANCEL, 0, nullptr};
const SAnswer kBlockRemember{SCREEN_RESULT_CANCEL, 1, nullptr};
const SAnswer kAllow{SCREEN_RESULT_OK, 0, nullptr};
const SAnswer kAllowRemember{SCREEN_RESULT_OK, 1, nullptr};

const std::vector<SCase>& Cases() {
  static const std::vector<SCase> cases = {
      {"first request for a host address asks and logs Medium 1",
       [](SWorld& w) {
         w.services.answers = {kBlock};
         w.Send(Ip());
       },
       [](SWorld& w) {
         EXPECT_EQ(std::vector<int>{0}, w.verdicts);
         ASSERT_EQ(1, w.web.GetCount());
         const CWebSiteItem& item = *w.web.EntryAt(0);
         EXPECT_EQ(PERMISSION_ASK, item.nAction);
         EXPECT_EQ("IP", item.strType);
         EXPECT_EQ("192.0.2.10", item.strStrictedData);
         EXPECT_EQ("192.0.2.10", item.strScamSite);
         EXPECT_EQ("Monday, December 07, 2026 14:05:09", item.strDataTime);
         ASSERT_EQ(1u, w.services.alerts.size());
         const SAlertFields& alert = w.services.alerts[0];
         EXPECT_EQ(ALERT_KIND_WEB, alert.nAlertKind);
         EXPECT_EQ("host '192.0.2.10' %s", alert.strToolTip);  // only the first placeholder
         EXPECT_EQ("iexplore.exe", alert.strApplication);
         EXPECT_EQ("HTTP", alert.strProtocol);
         EXPECT_EQ(1, w.nWebAsks);
         EXPECT_EQ(1, w.nBlocked);
         ASSERT_EQ(1, w.log.GetEntryCount());
         EXPECT_EQ("Medium", w.log.EntryAt(0)->strRating);
         EXPECT_EQ("Block", w.log.EntryAt(0)->strActionTaken);
         EXPECT_EQ(1, w.log.EntryAt(0)->nCount);
         EXPECT_EQ((std::vector<std::string>{"add site 0", "add log 0", "push"}), w.services.notes);
       }},
      {"a remembered block answers the same request without an alert",
       [](SWorld& w) {
         w.services.answers = {kBlockRemember};
         w.Send(Ip());
         w.Send(Ip());
       },
       [](SWorld& w) {
         EXPECT_EQ((std::vector<int>{0, 0}), w.verdicts);
         EXPECT_EQ(1u, w.services.alerts.size());
         EXPECT_EQ(PERMISSION_BLOCK, w.web.EntryAt(0)->nAction);
         EXPECT_EQ(2, w.nBlocked);
         EXPECT_EQ(1, w.nWebAsks);
         ASSERT_EQ(1, w.log.GetEntryCount());
         EXPECT_EQ(2, w.log.EntryAt(0)->nCount);
         EXPECT_EQ(
             (std::vector<std::string>{"refresh site 0", "add site 0", "add log 0", "push", "refresh log 0", "push"}),
             w.services.notes);
       }},
      {"a remembered allow answers the same request without an alert",
       [](SWorld& w) {
         w.services.answers = {kAllowRemember};
         w.Send(Ip());
         w.Send(Ip());
       },
       [](SWorld& w) {
         EXPECT_EQ((std::vector<int>{1, 1}), w.verdicts);
         EXPECT_EQ(1u, w.services.alerts.size());
         EXPECT_EQ(PERMISSION_ALLOW, w.web.EntryAt(0)->nAction);
         EXPECT_EQ(0, w.nBlocked);
       }},
      {"ten equal blocks stay Medium, the eleventh is High and counted",
       [](SWorld& w) {
         CWebSiteItem item;
         item.nAction = PERMISSION_BLOCK;
         item.nPort = 80;
         item.strProgram = "iexplore.exe";
         item.strType = "IP";
         item.strStrictedData = item.strIPAddress = "192.0.2.10";
         w.web.AppendEntry(item);
         for (int i = 0; i < 10; ++i) w.Send(Ip());
         EXPECT_EQ("Medium", w.log.EntryAt(0)->strRating);
         EXPECT_EQ(0, w.nHigh);
         w.Send(Ip());
       },
       [](SWorld& w) {
         EXPECT_TRUE(w.services.alerts.empty());
         ASSERT_EQ(1, w.log.GetEntryCount());
         EXPECT_EQ(11, w.log.EntryAt(0)->nCount);
         EXPECT_EQ("High", w.log.EntryAt(0)->strRating);
         EXPECT_EQ(1, w.nHigh);
         EXPECT_EQ(11, w.nBlocked);
         EXPECT_EQ(0, w.nWebAsks);
       }},
      {"allowed once and blocked once gives two log entries",
       [](SWorld& w) {
         w.services.answers = {kAllow, kBlock};
         w.Send(Ip());
         w.Send(Ip());
       },
       [](SWorld& w) {
         EXPECT_EQ((std::vector<int>{1, 0}), w.verdicts);
         ASSERT_EQ(2, w.log.GetEntryCount());
         EXPECT_EQ("Allow", w.log.EntryAt(0)->strActionTaken);
         EXPECT_EQ("Block", w.log.EntryAt(1)->strActionTaken);
         EXPECT_EQ(2, w.nWebAsks);
       }},
      {"protection off allows, appends without a row and logs no action",
       [](SWorld& w) {
         w.web.SetProtectionState(0);
         w.web.SetPermission(PERMISSION_BLOCK);
         w.Send(Url("203.0.113.5"));
       },
       [](SWorld& w) {
         EXPECT_EQ(std::vector<int>{1}, w.verdicts);
         EXPECT_TRUE(w.services.alerts.empty());
         EXPECT_EQ(0, w.nBlocked + w.nWebAsks + w.nMailAsks);
         ASSERT_EQ(1, w.web.GetCount());
         EXPECT_EQ("URL", w.web.EntryAt(0)->strType);
         ASSERT_EQ(1, w.log.GetEntryCount());
         EXPECT_EQ("", w.log.EntryAt(0)->strActionTaken);
         EXPECT_EQ((std::vector<std::string>{"add log 0", "push"}), w.services.notes);
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
       [](SWorld& w) {
         EXPECT_EQ((std::vector<int>{1, 0, 1}), w.verdicts);
         EXPECT_EQ(1u, w.services.alerts.size());
       }},
      {"display off blocks without an alert but counts the ask",
       [](SWorld& w) {
         w.log.SetCustomAlertDisplay(1, 0);
         w.services.answers = {kAllowRemember};
         w.Send(Ip());
       },
       [](SWorld& w) {
         EXPECT_EQ(std::vector<int>{0}, w.verdicts);
         EXPECT_TRUE(w.services.alerts.empty());
         EXPECT_EQ(1, w.nWebAsks);
         EXPECT_EQ(1, w.nBlocked);
         EXPECT_EQ(PERMISSION_ASK, w.web.EntryAt(0)->nAction);
       }},
      {"a URL from another host address uses the stored address",
       [](SWorld& w) {
         w.services.answers = {kBlock, kBlock};
         w.Send(Url("203.0.113.5"));
         EngineRequest again = Url("203.0.113.99");
         CopyBounded(again.szProcessName, "iexplore.exe");  // another letter case
         w.Send(again);
       },
       [](SWorld& w) {
         ASSERT_EQ(1, w.web.GetCount());
         ASSERT_EQ(2u, w.services.alerts.size());
         EXPECT_EQ("203.0.113.5", w.services.alerts[1].strIPAddress);
         EXPECT_EQ("site 'login.example.com/verify'", w.services.alerts[1].strToolTip);
         ASSERT_EQ(1, w.log.GetEntryCount());
         EXPECT_EQ("203.0.113.5", w.log.EntryAt(0)->strHostIP);
         EXPECT_EQ(2, w.log.EntryAt(0)->nCount);
       }},
      {"two link findings with different visible links are two entries",
       [](SWorld& w) {
         w.services.answers = {kBlock, kBlock};
         w.Send(Mail('L', "http://phish.example.com/"));
         w.Send(Mail('L'));
       },
       [](SWorld& w) {
         ASSERT_EQ(2, w.mail.GetCount());
         EXPECT_EQ("Called: 'http://phish.example.com/'\nVisible: 'http://phish.example.com/'",
                   w.mail.EntryAt(0)->strStrictedData);
         EXPECT_EQ(2, w.nMailAsks);
         EXPECT_EQ(2, w.log.GetEntryCount());
       }},
      {"ports 8080 and 443 are HTTP and Unknown",
       [](SWorld& w) {
         w.services.answers = {kBlock, kBlock};
         w.Send(Ip("192.0.2.10", "8080"));
         w.Send(Ip("192.0.2.10", "443"));
       },
       [](SWorld& w) {
         ASSERT_EQ(2u, w.services.alerts.size());
         EXPECT_EQ("HTTP", w.services.alerts[0].strProtocol);
         EXPECT_EQ("Unknown", w.services.alerts[1].strProtocol);
         EXPECT_EQ("Unknown", w.log.EntryAt(1)->strProtocol);
         EXPECT_EQ(443, w.web.EntryAt(1)->nPort);
       }},
      {"a mail alert takes date, address, attachment and text from the request",
       [](SWorld& w) {
         w.services.answers = {kBlockRemember};
         EngineRequest request = Mail('F');
         CopyBounded(request.mail.szAttachment, "invoice.zip");
         w.Send(request);
       },
       [](SWorld& w) {
         ASSERT_EQ(1u, w.services.alerts.size());
         const SAlertFields& alert = w.services.alerts[0];
         EXPECT_EQ(ALERT_KIND_MAIL, alert.nAlertKind);
         EXPECT_EQ("From", alert.strMatchType);
         EXPECT_EQ("billing@example.net", alert.strStrictedData);
         EXPECT_EQ("Mon, 7 Dec 2026", alert.strDateTime);
         EXPECT_EQ("198.51.100.3", alert.strIPAddress);
         EXPECT_EQ("invoice.zip", alert.strAttachment);
         EXPECT_EQ("click here", alert.strExtraText);
         EXPECT_EQ("mail 7021", alert.strToolTip);
         EXPECT_EQ(PERMISSION_BLOCK, w.mail.EntryAt(0)->nAction);
         EXPECT_EQ("Mon, 7 Dec 2026", w.mail.EntryAt(0)->strDataTime);
         EXPECT_EQ("198.51.100.3", w.log.EntryAt(0)->strHostIP);
         EXPECT_EQ((std::vector<std::string>{"refresh mail 0", "add mail 0", "add log 0", "push"}), w.services.notes);
       }},
      {"a request inside an open alert leaves the outer one its own entry",
       [](SWorld& w) {
         w.services.answers = {{SCREEN_RESULT_OK, 1, [&w] { w.Send(Ip("192.0.2.66")); }}, kBlockRemember};
         w.Send(Ip());
       },
       [](SWorld& w) {
         // The inner request finished first.
         EXPECT_EQ((std::vector<int>{0, 1}), w.verdicts);
         ASSERT_EQ(2, w.web.GetCount());
         EXPECT_EQ(PERMISSION_ALLOW, w.web.EntryAt(0)->nAction);
         EXPECT_EQ(PERMISSION_BLOCK, w.web.EntryAt(1)->nAction);
         EXPECT_EQ("192.0.2.66", w.web.EntryAt(1)->strStrictedData);
         EXPECT_EQ("Allow", w.log.EntryAt(1)->strActionTaken);
         EXPECT_EQ("192.0.2.10", w.log.EntryAt(1)->strStrictedData);
       }},
  };
  return cases;
}

TEST(RequestHandling, DecidesEveryCaseOfTheTable) {
  for (const SCase& testCase : Cases()) {
    SCOPED_TRACE(testCase.szName);
    SWorld world;
    testCase.run(world);
    testCase.check(world);
  }
}

}  // namespace
