// The permission lists in memory: finding entries for requests, the index rules of
// the list operations, and the texts derived from a request.
#include <gtest/gtest.h>

#include <string>

#include "console/settings/PermissionLists.h"
#include "support/TestRequests.h"

namespace {

constexpr EWebKind kIp = EWebKind::HostIP;
constexpr EWebKind kUrl = EWebKind::Url;
constexpr std::int32_t kHttp = 80;
constexpr std::int32_t kHttpAlt = 8080;

SWebRequest WebRequest(EWebKind eKind, const char* szProgram, std::int32_t nPort, const char* szHostIP,
                       const char* szUrl = "") {
  return TypedWebRequest(eKind, szProgram, nPort, szHostIP, szUrl);
}

SMailRequest MailRequest(EMailKind eKind) {
  return TypedMailRequest(eKind);
}

// An entry as the request handling appends it for a web request.
CWebSiteItem WebEntryFor(const SWebRequest& request) {
  CWebSiteItem item;
  item.kind = EntryKindOf(request.eKind);
  item.strStrictedData = WebRestrictedText(request);
  item.strScamSite = item.strStrictedData;
  item.strProgram = request.source.strProgram;
  item.strIPAddress = request.source.strHostIP;
  item.nPort = request.source.nPort;
  return item;
}

CMailSafeItem MailEntryFor(const SMailRequest& request) {
  CMailSafeItem item;
  item.kind = EntryKindOf(request.eKind);
  item.strStrictedData = MailRestrictedText(request);
  item.nPort = request.source.nPort;
  return item;
}

TEST(RequestTexts, KindNamesAndRestrictedTextsOfEveryKind) {
  struct SMailCase {
    EMailKind eKind;
    const char* szKindName;
    const char* szRestricted;  // null: not checked here
  };
  const SMailCase mailCases[] = {
      {EMailKind::From, "From", "billing@example.net"},
      {EMailKind::Subject, "Subject", "verify your account"},
      {EMailKind::Text, "Message", "click here"},
      {EMailKind::Link, "Link", nullptr},
      {kNotAMailKind, "", ""},
  };
  for (const SMailCase& c : mailCases) {
    EXPECT_EQ(c.szKindName, EntryKindText(EntryKindOf(c.eKind)));
    if (c.szRestricted) {
      EXPECT_EQ(c.szRestricted, MailRestrictedText(MailRequest(c.eKind))) << c.szKindName;
    }
  }

  const SWebRequest ip = WebRequest(kIp, "app.exe", kHttp, "192.0.2.7", "phish.example.com");
  const SWebRequest url = WebRequest(kUrl, "app.exe", kHttp, "192.0.2.7", "phish.example.com");
  EXPECT_EQ("IP", EntryKindText(EntryKindOf(ip.eKind)));
  EXPECT_EQ("192.0.2.7", WebRestrictedText(ip));
  EXPECT_EQ("URL", EntryKindText(EntryKindOf(url.eKind)));
  EXPECT_EQ("phish.example.com", WebRestrictedText(url));
  EXPECT_EQ("", EntryKindText(EntryKindOf(kNotAWebKind)));
  EXPECT_EQ("", WebRestrictedText(WebRequest(kNotAWebKind, "a", 1, "b")));
}

TEST(RequestTexts, LinkTextIsTwoLinesWithoutTrailingLineFeed) {
  SMailRequest request = MailRequest(EMailKind::Link);
  EXPECT_EQ("Called: 'http://phish.example.com/'\nVisible: 'http://bank.example.org/'", MailRestrictedText(request));
  request.strCalledLink.clear();
  EXPECT_EQ("Called: ''\nVisible: 'http://bank.example.org/'", MailRestrictedText(request));
}

TEST(RequestTexts, PortsAndPermissionsOutsideTheTables) {
  EXPECT_STREQ("HTTP", PortProtocolName(8080));
  EXPECT_STREQ("Unknown", PortProtocolName(443));
  EXPECT_STREQ("Unknown", PortProtocolName(-1));
  EXPECT_EQ(0u, PermissionStringId(-1));
}

TEST(ListIndexes, RemoveEntryKeepsOrderAndIgnoresBadIndexes) {
  CMailSafeList list;
  for (const char* szData : {"first", "second", "third"}) {
    CMailSafeItem item;
    item.strStrictedData = szData;
    const int nCountBefore = list.GetCount();
    EXPECT_EQ(nCountBefore, list.AppendEntry(item));
  }
  for (int nBad : {-1, 3, 1000}) {
    list.RemoveEntry(nBad);
    list.SetAction(nBad, PERMISSION_BLOCK);
    EXPECT_EQ(nullptr, list.EntryAt(nBad));
  }
  ASSERT_EQ(3, list.GetCount());
  for (int i = 0; i < 3; ++i) EXPECT_EQ(PERMISSION_ASK, list.EntryAt(i)->nAction);

  list.RemoveEntry(0);
  ASSERT_EQ(2, list.GetCount());
  EXPECT_EQ("second", list.EntryAt(0)->strStrictedData);
  EXPECT_EQ("third", list.EntryAt(1)->strStrictedData);
  list.SetAction(1, PERMISSION_BLOCK);
  EXPECT_EQ(PERMISSION_ASK, list.EntryAt(0)->nAction);
  EXPECT_EQ(PERMISSION_BLOCK, list.EntryAt(1)->nAction);

  list.RemoveAll();
  EXPECT_EQ(0, list.GetCount());
  EXPECT_EQ(0, list.AppendEntry(CMailSafeItem()));
}

TEST(ListIndexes, EntryReferenceSurvivesAppends) {
  // A request handled while an alert is open may append while an outer request
  // holds its entry.
  CWebSiteBlockingList list;
  list.AppendEntry(CWebSiteItem());
  CWebSiteItem* pOuter = list.EntryAt(0);
  for (int i = 0; i < 1000; ++i) list.AppendEntry(CWebSiteItem());
  pOuter->nAction = PERMISSION_ALLOW;
  EXPECT_EQ(PERMISSION_ALLOW, list.EntryAt(0)->nAction);
}

TEST(FindWebEntry, MatchesPortProgramAndSiteIgnoringCase) {
  CWebSiteBlockingList list;
  const SWebRequest url = WebRequest(kUrl, "Browser.exe", kHttp, "192.0.2.7", "phish.example.com/login");
  EXPECT_EQ(-1, list.FindWebEntry(url));
  list.AppendEntry(WebEntryFor(url));

  EXPECT_EQ(0, list.FindWebEntry(url));
  EXPECT_EQ(0, list.FindWebEntry(WebRequest(kUrl, "BROWSER.EXE", kHttp, "192.0.2.7", "PHISH.example.com/LOGIN")));
  // Same site from another host address: the entry is still the one.
  EXPECT_EQ(0, list.FindWebEntry(WebRequest(kUrl, "browser.exe", kHttp, "198.51.100.1", "phish.example.com/login")));
  // Another program or another port is another entry.
  EXPECT_EQ(-1, list.FindWebEntry(WebRequest(kUrl, "mailer.exe", kHttp, "192.0.2.7", "phish.example.com/login")));
  EXPECT_EQ(-1, list.FindWebEntry(WebRequest(kUrl, "browser.exe", kHttpAlt, "192.0.2.7", "phish.example.com/login")));
  // Kinds other than host address and URL never match.
  EXPECT_EQ(-1,
            list.FindWebEntry(WebRequest(kNotAWebKind, "browser.exe", kHttp, "192.0.2.7", "phish.example.com/login")));
}

TEST(FindWebEntry, TwoProgramsOrTwoPortsGiveTwoEntries) {
  CWebSiteBlockingList list;
  const SWebRequest requests[] = {
      WebRequest(kUrl, "a.exe", kHttp, "192.0.2.7", "phish.example.com"),
      WebRequest(kUrl, "b.exe", kHttp, "192.0.2.7", "phish.example.com"),
      WebRequest(kUrl, "a.exe", kHttpAlt, "192.0.2.7", "phish.example.com"),
  };
  for (const SWebRequest& request : requests) {
    if (list.FindWebEntry(request) < 0) list.AppendEntry(WebEntryFor(request));
  }
  ASSERT_EQ(3, list.GetCount());
  for (int i = 0; i < 3; ++i) EXPECT_EQ(i, list.FindWebEntry(requests[i]));
}

TEST(FindWebEntry, HostAddressIgnoresTypeButUrlNeedsUrlType) {
  constexpr std::int32_t kHttps = 443;
  CWebSiteBlockingList list;
  const SWebRequest ip = WebRequest(kIp, "app.exe", kHttps, "192.0.2.7", "");
  CWebSiteItem item = WebEntryFor(ip);
  item.kind = EntryKindOfStoredText("something else");
  item.strScamSite = "other";
  list.AppendEntry(item);
  EXPECT_EQ(0, list.FindWebEntry(ip));

  // A URL request whose URL equals an 'IP' entry's ScamSite does not match it.
  CWebSiteItem ipEntry = WebEntryFor(WebRequest(kIp, "app.exe", kHttp, "phish.example.com"));
  list.AppendEntry(ipEntry);
  const SWebRequest url = WebRequest(kUrl, "app.exe", kHttp, "192.0.2.9", "phish.example.com");
  EXPECT_EQ(-1, list.FindWebEntry(url));
  list.AppendEntry(WebEntryFor(url));
  EXPECT_EQ(2, list.FindWebEntry(url));
  list.EntryAt(2)->kind = EntryKindOfStoredText("url");  // Type compares ignoring case too
  EXPECT_EQ(2, list.FindWebEntry(url));
}

TEST(FindMailEntry, MatchesRestrictedTextAndKindOnly) {
  constexpr std::int32_t kSmtp = 25;
  CMailSafeList list;
  const SMailRequest from = MailRequest(EMailKind::From);
  list.AppendEntry(MailEntryFor(from));
  SMailRequest other = from;
  other.strFrom = "BILLING@Example.NET";
  other.source.strProgram = "other.exe";
  other.source.nPort = kSmtp;
  EXPECT_EQ(0, list.FindMailEntry(other));
  // The same text under another kind is another entry.
  SMailRequest subject = MailRequest(EMailKind::Subject);
  subject.strSubject = "billing@example.net";
  EXPECT_EQ(-1, list.FindMailEntry(subject));
}

TEST(FindMailEntry, LinkWithOtherVisibleTextIsAnotherEntry) {
  CMailSafeList list;
  SMailRequest listed = MailRequest(EMailKind::Link);
  listed.strVisibleLink = listed.strCalledLink;
  list.AppendEntry(MailEntryFor(listed));
  EXPECT_EQ(0, list.FindMailEntry(listed));
  EXPECT_EQ(-1, list.FindMailEntry(MailRequest(EMailKind::Link)));
}

}  // namespace
