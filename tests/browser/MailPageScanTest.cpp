// The checks of a mail page, the order of its findings and the requests that
// report them.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "engine/browser/MailHeaderParser.h"
#include "engine/browser/MailPageScan.h"

namespace {

// Lists what it is told to list and answers requests from a script.
class CScriptedSite : public IMailScanSite {
 public:
  std::string strBadFrom, strBadSubject, strBadText, strBadLink, strVisible, strCalled;
  std::vector<long> replies;  // one per request; missing replies answer allow
  std::vector<SMailRequest> sent;
  std::vector<std::string> checks;  // the checks in the order they ran

  bool IsBadMailFrom(const char* sz) override { return Check("from", sz, strBadFrom); }
  bool IsBadMailSubject(const char* sz) override { return Check("subject", sz, strBadSubject); }
  bool IsBadMailText(const char* sz, char* szOut) override { return Check("text", sz, strBadText, szOut); }
  bool IsBadVisibleMailLinks(const char* sz, char* szVisible, char* szCalled) override {
    checks.push_back("visible");
    if (strCalled.empty() || !std::strstr(sz, strCalled.c_str())) return false;
    std::strcpy(szVisible, strVisible.c_str());
    std::strcpy(szCalled, strCalled.c_str());
    return true;
  }
  bool IsBadMailLinks(const char* sz, char* szOut) override { return Check("link", sz, strBadLink, szOut); }
  long SendMailRequest(const SMailRequest& request) override {
    sent.push_back(request);
    return sent.size() <= replies.size() ? replies[sent.size() - 1] : 1;
  }

 private:
  bool Check(const char* szName, const char* sz, const std::string& strListed, char* szOut = nullptr) {
    checks.push_back(szName);
    if (strListed.empty() || !std::strstr(sz, strListed.c_str())) return false;
    if (szOut) std::strcpy(szOut, strListed.c_str());
    return true;
  }
};

const char kMail[] =
    "Inbox\r\nFrom: Billing <billing@bank.example>\r\nTo: you@example.net\r\nSubject: Account SUSPENDED\r\n"
    "Date: Mon, 7 Dec\r\nAttachment: form.zip\r\nPlease verify your password now\r\n";
const char kHtml[] = "<DIV>From: billing</DIV><A HREF=\"http://evil.example/login\">www.bank.example</A>";
const char kBrowser[] = "C:\\Program Files\\Internet Explorer\\iexplore.exe";

TEST(MailPageScan, PageWithoutRecipientIsNoMailAndRunsNoCheck) {
  CScriptedSite site;
  site.strBadFrom = "billing";
  EXPECT_EQ(EMailScanResult::NotMail, ScanMailText("From: billing\nhello", kHtml, kBrowser, site));
  EXPECT_TRUE(site.checks.empty());
  EXPECT_TRUE(site.sent.empty());
}

TEST(MailPageScan, ChecksRunInOrderAndNothingIsSentWithoutFinding) {
  CScriptedSite site;
  EXPECT_EQ(EMailScanResult::NoFinding, ScanMailText(kMail, kHtml, kBrowser, site));
  EXPECT_EQ((std::vector<std::string>{"from", "subject", "text", "visible", "link"}), site.checks);
  EXPECT_TRUE(site.sent.empty());
}

TEST(MailPageScan, RequestCarriesBrowserAndHeaderFields) {
  CScriptedSite site;
  site.strBadFrom = "billing@bank";
  EXPECT_EQ(EMailScanResult::Allowed, ScanMailText(kMail, kHtml, kBrowser, site));
  ASSERT_EQ(1u, site.sent.size());
  const SMailRequest& r = site.sent[0];
  EXPECT_EQ(kBrowser, r.source.strProcessPath);
  EXPECT_EQ("iexplore.exe", r.source.strProgram);
  EXPECT_EQ("", r.source.strHostIP);
  EXPECT_EQ(80, r.source.nPort);
  EXPECT_EQ("billing <billing@bank.example>", r.strFrom);
  EXPECT_EQ("you@example.net", r.strTo);
  EXPECT_EQ("account suspended", r.strSubject);
  EXPECT_EQ("mon, 7 dec", r.strDate);
  EXPECT_EQ("form.zip", r.strAttachment);
  EXPECT_EQ(EMailKind::From, r.eKind);
}

TEST(MailPageScan, AllowedFindingsGoOutInFixedOrderUntilABlock) {
  CScriptedSite site;
  site.strBadFrom = "billing";
  site.strBadSubject = "suspended";
  site.strBadText = "verify your password";
  site.strBadLink = "evil.example";
  EXPECT_EQ(EMailScanResult::Allowed, ScanMailText(kMail, kHtml, kBrowser, site));
  ASSERT_EQ(4u, site.sent.size());
  EXPECT_EQ(EMailKind::From, site.sent[0].eKind);
  EXPECT_EQ(EMailKind::Subject, site.sent[1].eKind);
  EXPECT_EQ(EMailKind::Link, site.sent[2].eKind);
  EXPECT_EQ("evil.example", site.sent[2].strVisibleLink);
  EXPECT_EQ("evil.example", site.sent[2].strCalledLink);
  EXPECT_EQ(EMailKind::Text, site.sent[3].eKind);
  EXPECT_EQ("verify your password", site.sent[3].strText);
  // Fields of an earlier kind stay in the reused request.
  EXPECT_EQ("evil.example", site.sent[3].strCalledLink);

  CScriptedSite blocking;
  blocking.strBadFrom = "billing";
  blocking.strBadSubject = "suspended";
  blocking.replies = {0};
  EXPECT_EQ(EMailScanResult::Blocked, ScanMailText(kMail, kHtml, kBrowser, blocking));
  EXPECT_EQ(1u, blocking.sent.size());

  CScriptedSite second;
  second.strBadFrom = "billing";
  second.strBadSubject = "suspended";
  second.replies = {1, 0};
  EXPECT_EQ(EMailScanResult::Blocked, ScanMailText(kMail, kHtml, kBrowser, second));
  EXPECT_EQ(2u, second.sent.size());
}

TEST(MailPageScan, VisibleLinkFindingSuppressesListedLinkCheckAndSeesLowerCasedHtml) {
  CScriptedSite site;
  site.strCalled = "http://evil.example/login";  // matches only the lower-cased HTML
  site.strVisible = "www.bank.example";
  site.strBadLink = "evil.example";
  EXPECT_EQ(EMailScanResult::Allowed, ScanMailText(kMail, kHtml, kBrowser, site));
  EXPECT_EQ((std::vector<std::string>{"from", "subject", "text", "visible"}), site.checks);
  ASSERT_EQ(1u, site.sent.size());
  EXPECT_EQ(EMailKind::Link, site.sent[0].eKind);
  EXPECT_EQ("www.bank.example", site.sent[0].strVisibleLink);
  EXPECT_EQ("http://evil.example/login", site.sent[0].strCalledLink);
}

// Long fields and paths reach the request whole (its record cuts them); the
// program is named from the whole path.
TEST(MailPageScan, OverlongFieldsReachTheRequestWhole) {
  const std::string strLong(300, 'x');
  const std::string strMail = "From: " + strLong + "\nTo: " + strLong + "\nSubject: " + strLong + "\nSent: " + strLong +
                              "\nAttachment: " + strLong + "\n";
  const std::string strPath = "C:\\" + std::string(250, 'p') + "\\" + std::string(120, 'n') + ".exe";
  CScriptedSite site;
  site.strBadFrom = "xxx";
  EXPECT_EQ(EMailScanResult::Allowed, ScanMailText(strMail.c_str(), "<html>", strPath.c_str(), site));
  ASSERT_EQ(1u, site.sent.size());
  const SMailRequest& r = site.sent[0];
  EXPECT_EQ((std::vector<std::string>(5, strLong)),
            (std::vector<std::string>{r.strFrom, r.strTo, r.strSubject, r.strDate, r.strAttachment}));
  EXPECT_EQ(strPath, r.source.strProcessPath);
  EXPECT_EQ(std::string(120, 'n') + ".exe", r.source.strProgram);
}

TEST(MailPageScan, FieldsThePageDoesNotShowStayEmpty) {
  CMailHeaderParser parser("from: a\nto: b\n");
  ASSERT_TRUE(parser.IsMail());
  parser.ExtractHeaders();
  const SMailRequest request = MailRequestOf("noslash.exe", parser);
  EXPECT_EQ("noslash.exe", request.source.strProgram);
  EXPECT_EQ("", request.strSubject + request.strDate + request.strAttachment);
}

}  // namespace
