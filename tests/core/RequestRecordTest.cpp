// Dispatch of request records: which handler a record reaches, what malformed
// records are answered, and the typed request a record decodes to.
#include "console/core/RequestRecord.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "console/settings/PermissionLists.h"
#include "shared/BoundedCopy.h"
#include "support/RecordingHandlers.h"
#include "support/TestRequests.h"

namespace {

EngineRequest WebRequest(char cKind) {
  EngineRequest request = MakeWebRequest(cKind, "browser.exe", "80", "192.0.2.7", "phish.example.com/login");
  CopyBounded(request.szProcessPath, "C:\\Program Files\\Browser\\browser.exe");
  return request;
}

EngineRequest MailRequest(char cKind) {
  return MakeMailRequest(cKind);
}

TEST(RequestDispatch, EachCodeReachesItsHandlerAndReturnsItsVerdict) {
  CRecordingHandlers handlers;
  EngineRequest ip = WebRequest(KIND_HOST_IP);
  EngineRequest url = WebRequest(KIND_URL);
  EngineRequest mail = MailRequest(KIND_MAIL_FROM);

  handlers.nReply = 0;
  SDispatchResult result = DispatchRequest(REQUEST_HOST_IP, &ip, WEB_REQUEST_SIZE, handlers);
  EXPECT_TRUE(result.bHandled);
  EXPECT_EQ(0, result.nVerdict);
  handlers.nReply = 1;
  result = DispatchRequest(REQUEST_URL, &url, WEB_REQUEST_SIZE, handlers);
  EXPECT_EQ(1, result.nVerdict);
  EXPECT_EQ("phish.example.com/login", handlers.lastWeb.strUrl);
  for (char cKind : {KIND_MAIL_FROM, KIND_MAIL_SUBJECT, KIND_MAIL_LINK, KIND_MAIL_TEXT}) {
    mail.mail.cMailKind = cKind;
    result = DispatchRequest(REQUEST_MAIL, &mail, MAIL_REQUEST_SIZE, handlers);
    EXPECT_EQ(1, result.nVerdict) << "kind " << cKind;
  }
  EXPECT_EQ((std::vector<std::string>{"ip", "url", "mail", "mail", "mail", "mail"}), handlers.calls);
}

TEST(RequestDispatch, KindThatDoesNotBelongToTheCodeIsAllowedUnhandled) {
  CRecordingHandlers handlers;
  handlers.nReply = 0;
  EngineRequest url = WebRequest(KIND_URL);
  EngineRequest ip = WebRequest(KIND_HOST_IP);
  EngineRequest mailWithWebKind = MailRequest(KIND_HOST_IP);
  EngineRequest mailLowerCase = MailRequest('f');  // kinds are upper case only

  EXPECT_EQ(1, DispatchRequest(REQUEST_HOST_IP, &url, WEB_REQUEST_SIZE, handlers).nVerdict);
  EXPECT_EQ(1, DispatchRequest(REQUEST_URL, &ip, WEB_REQUEST_SIZE, handlers).nVerdict);
  EXPECT_EQ(1, DispatchRequest(REQUEST_MAIL, &mailWithWebKind, MAIL_REQUEST_SIZE, handlers).nVerdict);
  EXPECT_EQ(1, DispatchRequest(REQUEST_MAIL, &mailLowerCase, MAIL_REQUEST_SIZE, handlers).nVerdict);
  EXPECT_TRUE(handlers.calls.empty());
}

TEST(RequestDispatch, UnknownCodeGetsDefaultProcessing) {
  CRecordingHandlers handlers;
  EngineRequest ip = WebRequest(KIND_HOST_IP);
  for (unsigned long dwCode : {0ul, REQUEST_HOST_IP - 1, REQUEST_MAIL + 1, 0xFFFFFFFFul}) {
    const SDispatchResult result = DispatchRequest(dwCode, &ip, sizeof(ip), handlers);
    EXPECT_FALSE(result.bHandled) << dwCode;
    EXPECT_EQ(0, result.nVerdict) << dwCode;
  }
  EXPECT_TRUE(handlers.calls.empty());
}

TEST(RequestDispatch, WebRequestOfAnyLengthFromItsLayoutUpIsHandledAlike) {
  CRecordingHandlers handlers;
  EngineRequest url = WebRequest(KIND_URL);
  // Bytes behind the web layout belong to the sender and must not matter.
  std::memset(reinterpret_cast<char*>(&url) + WEB_REQUEST_SIZE, 'x', sizeof(url) - WEB_REQUEST_SIZE);
  EXPECT_EQ(1, DispatchRequest(REQUEST_URL, &url, WEB_REQUEST_SIZE, handlers).nVerdict);
  EXPECT_EQ(1, DispatchRequest(REQUEST_URL, &url, MAIL_REQUEST_SIZE, handlers).nVerdict);
  EXPECT_EQ(2u, handlers.calls.size());
}

TEST(RequestDispatch, RecordShorterThanItsLayoutIsBlockedUnhandled) {
  CRecordingHandlers handlers;
  // Exactly the bytes the sender claims: the sanitizers catch any read beyond.
  std::vector<char> web(WEB_REQUEST_SIZE - 1);
  EngineRequest ip = WebRequest(KIND_HOST_IP);
  std::memcpy(web.data(), &ip, web.size());
  EXPECT_EQ(0, DispatchRequest(REQUEST_HOST_IP, web.data(), web.size(), handlers).nVerdict);
  EXPECT_EQ(0, DispatchRequest(REQUEST_URL, web.data(), 0, handlers).nVerdict);
  EXPECT_EQ(0, DispatchRequest(REQUEST_URL, nullptr, WEB_REQUEST_SIZE, handlers).nVerdict);

  EngineRequest mail = MailRequest(KIND_MAIL_FROM);
  std::vector<char> shortMail(MAIL_REQUEST_SIZE - 1);
  std::memcpy(shortMail.data(), &mail, shortMail.size());
  EXPECT_EQ(0, DispatchRequest(REQUEST_MAIL, shortMail.data(), shortMail.size(), handlers).nVerdict);
  EXPECT_EQ(0, DispatchRequest(REQUEST_MAIL, &mail, WEB_REQUEST_SIZE, handlers).nVerdict);
  EXPECT_TRUE(handlers.calls.empty());
}

TEST(RequestDispatch, FieldWithoutTerminatorIsBlockedUnhandled) {
  CRecordingHandlers handlers;
  handlers.nReply = 1;
  auto blocked = [&](unsigned long dwCode, const EngineRequest& request) {
    return DispatchRequest(dwCode, &request, sizeof(request), handlers).nVerdict == 0;
  };

  EngineRequest ip = WebRequest(KIND_HOST_IP);
  std::memset(ip.szPort, '8', sizeof(ip.szPort));
  EXPECT_TRUE(blocked(REQUEST_HOST_IP, ip));
  ip = WebRequest(KIND_HOST_IP);
  std::memset(ip.szProcessName, 'a', sizeof(ip.szProcessName));
  EXPECT_TRUE(blocked(REQUEST_HOST_IP, ip));
  ip = WebRequest(KIND_HOST_IP);
  std::memset(ip.szHostIP, '1', sizeof(ip.szHostIP));
  EXPECT_TRUE(blocked(REQUEST_HOST_IP, ip));

  // The URL is read only for kind 'U'.
  EngineRequest url = WebRequest(KIND_URL);
  std::memset(url.web.szUrl, 'a', sizeof(url.web.szUrl));
  EXPECT_TRUE(blocked(REQUEST_URL, url));

  EngineRequest mail = MailRequest(KIND_MAIL_SUBJECT);
  std::memset(mail.mail.szSubject, 's', sizeof(mail.mail.szSubject));
  EXPECT_TRUE(blocked(REQUEST_MAIL, mail));
  mail = MailRequest(KIND_MAIL_TEXT);
  std::memset(mail.mail.szText, 't', sizeof(mail.mail.szText));
  EXPECT_TRUE(blocked(REQUEST_MAIL, mail));
  mail = MailRequest(KIND_MAIL_LINK);
  std::memset(mail.mail.szCalledLink, 'c', sizeof(mail.mail.szCalledLink));
  EXPECT_TRUE(blocked(REQUEST_MAIL, mail));
  EXPECT_TRUE(handlers.calls.empty());

  // The body text goes into the alert of every mail kind.
  for (char cKind : {KIND_MAIL_FROM, KIND_MAIL_SUBJECT, KIND_MAIL_LINK}) {
    mail = MailRequest(cKind);
    std::memset(mail.mail.szText, 't', sizeof(mail.mail.szText));
    EXPECT_TRUE(blocked(REQUEST_MAIL, mail)) << "kind " << cKind;
  }
  EXPECT_TRUE(handlers.calls.empty());

  // The links are read only for kind 'L', so their contents do not matter otherwise.
  mail = MailRequest(KIND_MAIL_FROM);
  std::memset(mail.mail.szCalledLink, 'c', sizeof(mail.mail.szCalledLink));
  EXPECT_FALSE(blocked(REQUEST_MAIL, mail));
  // A field filled to width - 1 characters is still terminated.
  mail = MailRequest(KIND_MAIL_FROM);
  std::memset(mail.mail.szFrom, 'f', sizeof(mail.mail.szFrom) - 1);
  EXPECT_FALSE(blocked(REQUEST_MAIL, mail));
  EXPECT_EQ(2u, handlers.calls.size());
}

TEST(RequestDecoding, FieldsAreReadToTheirWidthAndThePortIsItsDecimalValue) {
  EngineRequest record = MailRequest(KIND_MAIL_LINK);
  std::memset(record.mail.szCalledLink, 'c', sizeof(record.mail.szCalledLink));
  std::memset(record.mail.szVisibleLink, 'v', sizeof(record.mail.szVisibleLink));
  const std::string strText = MailRestrictedText(DecodeMailRequest(record));
  EXPECT_EQ(std::string("Called: '").size() + sizeof(record.mail.szCalledLink) + std::string("'\nVisible: '").size() +
                sizeof(record.mail.szVisibleLink) + 1,
            strText.size());

  EngineRequest web = WebRequest(KIND_HOST_IP);
  std::memset(web.szHostIP, '7', sizeof(web.szHostIP));
  EXPECT_EQ(std::string(sizeof(web.szHostIP), '7'), WebRestrictedText(DecodeWebRequest(web)));
  std::memset(web.szPort, '9', sizeof(web.szPort));
  // Ten nines, beyond 32 bits: the largest value.
  EXPECT_EQ(std::numeric_limits<std::int32_t>::max(), DecodeWebRequest(web).source.nPort);

  // What the sender wrote, as entries store it: "8080" 8080, "" 0, "-1" -1.
  struct SPortCase {
    const char* szPort;
    std::int32_t nPort;
  };
  for (const SPortCase& c : {SPortCase{"8080", 8080}, SPortCase{"", 0}, SPortCase{"-1", -1}}) {
    CopyBounded(web.szPort, c.szPort);
    EXPECT_EQ(c.nPort, DecodeWebRequest(web).source.nPort) << "\"" << c.szPort << "\"";
  }
}

TEST(BoundedCopy, CutsToTheBufferAndAlwaysTerminates) {
  char sz[5];
  CopyBounded(sz, "abcdefgh");
  EXPECT_STREQ("abcd", sz);
  CopyBounded(sz, nullptr);
  EXPECT_STREQ("", sz);
  CopyBounded(sz, "ab");
  AppendBounded(sz, "cdef");
  EXPECT_STREQ("abcd", sz);
  AppendBounded(sz, "x");
  EXPECT_STREQ("abcd", sz);
}

}  // namespace
