// The permission lists in memory: finding entries for requests, the index rules of
// the list operations, and the texts derived from a request.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "console/settings/PermissionLists.h"
#include "shared/BoundedCopy.h"
#include "support/TestRequests.h"

namespace {

EngineRequest WebRequest(char cKind, const char* szProgram, const char* szPort, const char* szHostIP,
                         const char* szUrl = "") {
  return MakeWebRequest(cKind, szProgram, szPort, szHostIP, szUrl);
}

EngineRequest MailRequest(char cKind) { return MakeMailRequest(cKind); }

// An entry as the request handling appends it for a web request.
CWebSiteItem WebEntryFor(const EngineRequest& request) {
  CWebSiteItem item;
  item.strType = WebKindName(request);
  item.strStrictedData = WebRestrictedText(request);
  item.strScamSite = item.strStrictedData;
  item.strProgram = request.szProcessName;
  item.strIPAddress = request.szHostIP;
  item.nPort = RequestPort(request);
  return item;
}

CMailSafeItem MailEntryFor(const EngineRequest& request) {
  CMailSafeItem item;
  item.strType = MailKindName(request);
  item.strStrictedData = MailRestrictedText(request);
  item.nPort = RequestPort(request);
  return item;
}

TEST(RequestTexts, KindNamesAndRestrictedTextsOfEveryKind) {
  EXPECT_EQ("From", MailKindName(MailRequest('F')));
  EXPECT_EQ("billing@example.net", MailRestrictedText(MailRequest('F')));
  EXPECT_EQ("Subject", MailKindName(MailRequest('S')));
  EXPECT_EQ("verify your account", MailRestrictedText(MailRequest('S')));
  EXPECT_EQ("Message", MailKindName(MailRequest('T')));
  EXPECT_EQ("click here", MailRestrictedText(MailRequest('T')));
  EXPECT_EQ("Link", MailKindName(MailRequest('L')));
  EXPECT_EQ("", MailKindName(MailRequest('I')));
  EXPECT_EQ("", MailRestrictedText(MailRequest('x')));

  const EngineRequest ip = WebRequest('I', "app.exe", "80", "192.0.2.7", "phish.example.com");
  const EngineRequest url = WebRequest('U', "app.exe", "80", "192.0.2.7", "phish.example.com");
  EXPECT_EQ("IP", WebKindName(ip));
  EXPECT_EQ("192.0.2.7", WebRestrictedText(ip));
  EXPECT_EQ("URL", WebKindName(url));
  EXPECT_EQ("phish.example.com", WebRestrictedText(url));
  EXPECT_EQ("", WebKindName(WebRequest('F', "a", "1", "b")));
  EXPECT_EQ("", WebRestrictedText(WebRequest('F', "a", "1", "b")));
}

TEST(RequestTexts, LinkTextIsTwoLinesWithoutTrailingLineFeed) {
  EngineRequest request = MailRequest('L');
  EXPECT_EQ("Called: 'http://phish.example.com/'\nVisible: 'http://bank.example.org/'", MailRestrictedText(request));
  request.mail.szCalledLink[0] = 0;
  EXPECT_EQ("Called: ''\nVisible: 'http://bank.example.org/'", MailRestrictedText(request));
}

TEST(RequestTexts, UnterminatedFieldsAreReadOnlyToTheirWidth) {
  EngineRequest request = MailRequest('L');
  std::memset(request.mail.szCalledLink, 'c', sizeof(request.mail.szCalledLink));
  std::memset(request.mail.szVisibleLink, 'v', sizeof(request.mail.szVisibleLink));
  request.mail.cMailKind = 'L';
  const std::string strText = MailRestrictedText(request);
  EXPECT_EQ(std::string("Called: '").size() + 261 + std::string("'\nVisible: '").size() + 261 + 1, strText.size());

  EngineRequest web = WebRequest('I', "a", "8080", "1");
  std::memset(web.szHostIP, '7', sizeof(web.szHostIP));
  EXPECT_EQ(std::string(20, '7'), WebRestrictedText(web));
  std::memset(web.szPort, '9', sizeof(web.szPort));
  EXPECT_EQ(2147483647, RequestPort(web));  // ten nines, beyond 32 bits
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
  const EngineRequest url = WebRequest('U', "Browser.exe", "80", "192.0.2.7", "phish.example.com/login");
  EXPECT_EQ(-1, list.FindWebEntry(url));
  list.AppendEntry(WebEntryFor(url));

  EXPECT_EQ(0, list.FindWebEntry(url));
  EXPECT_EQ(0, list.FindWebEntry(WebRequest('U', "BROWSER.EXE", "80", "192.0.2.7", "PHISH.example.com/LOGIN")));
  // Same site from another host address: the entry is still the one.
  EXPECT_EQ(0, list.FindWebEntry(WebRequest('U', "browser.exe", "80", "198.51.100.1", "phish.example.com/login")));
  // Another program or another port is another entry.
  EXPECT_EQ(-1, list.FindWebEntry(WebRequest('U', "mailer.exe", "80", "192.0.2.7", "phish.example.com/login")));
  EXPECT_EQ(-1, list.FindWebEntry(WebRequest('U', "browser.exe", "8080", "192.0.2.7", "phish.example.com/login")));
  // Kinds other than 'I' and 'U' never match.
  EXPECT_EQ(-1, list.FindWebEntry(WebRequest('F', "browser.exe", "80", "192.0.2.7", "phish.example.com/login")));
}

TEST(FindWebEntry, TwoProgramsOrTwoPortsGiveTwoEntries) {
  CWebSiteBlockingList list;
  const EngineRequest requests[] = {
      WebRequest('U', "a.exe", "80", "192.0.2.7", "phish.example.com"),
      WebRequest('U', "b.exe", "80", "192.0.2.7", "phish.example.com"),
      WebRequest('U', "a.exe", "8080", "192.0.2.7", "phish.example.com"),
  };
  for (const EngineRequest& request : requests) {
    if (list.FindWebEntry(request) < 0) list.AppendEntry(WebEntryFor(request));
  }
  ASSERT_EQ(3, list.GetCount());
  for (int i = 0; i < 3; ++i) EXPECT_EQ(i, list.FindWebEntry(requests[i]));
}

TEST(FindWebEntry, HostAddressIgnoresTypeButUrlNeedsUrlType) {
  CWebSiteBlockingList list;
  const EngineRequest ip = WebRequest('I', "app.exe", "443", "192.0.2.7", "");
  CWebSiteItem item = WebEntryFor(ip);
  item.strType = "something else";
  item.strScamSite = "other";
  list.AppendEntry(item);
  EXPECT_EQ(0, list.FindWebEntry(ip));

  // A URL request whose URL equals an 'IP' entry's ScamSite does not match it.
  CWebSiteItem ipEntry = WebEntryFor(WebRequest('I', "app.exe", "80", "phish.example.com"));
  list.AppendEntry(ipEntry);
  const EngineRequest url = WebRequest('U', "app.exe", "80", "192.0.2.9", "phish.example.com");
  EXPECT_EQ(-1, list.FindWebEntry(url));
  list.AppendEntry(WebEntryFor(url));
  EXPECT_EQ(2, list.FindWebEntry(url));
  list.EntryAt(2)->strType = "url";  // Type compares ignoring case too
  EXPECT_EQ(2, list.FindWebEntry(url));
}

TEST(FindMailEntry, MatchesRestrictedTextAndKindOnly) {
  CMailSafeList list;
  const EngineRequest from = MailRequest('F');
  list.AppendEntry(MailEntryFor(from));
  EngineRequest other = from;
  CopyBounded(other.mail.szFrom, "BILLING@Example.NET");
  CopyBounded(other.szProcessName, "other.exe");
  CopyBounded(other.szPort, "25");
  EXPECT_EQ(0, list.FindMailEntry(other));
  // The same text under another kind is another entry.
  EngineRequest subject = MailRequest('S');
  CopyBounded(subject.mail.szSubject, "billing@example.net");
  EXPECT_EQ(-1, list.FindMailEntry(subject));
}

TEST(FindMailEntry, LinkWithOtherVisibleTextIsAnotherEntry) {
  CMailSafeList list;
  EngineRequest listed = MailRequest('L');
  CopyBounded(listed.mail.szVisibleLink, listed.mail.szCalledLink);
  list.AppendEntry(MailEntryFor(listed));
  EXPECT_EQ(0, list.FindMailEntry(listed));
  EXPECT_EQ(-1, list.FindMailEntry(MailRequest('L')));
}

}  // namespace
