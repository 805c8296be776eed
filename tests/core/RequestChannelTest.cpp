// The records senders build from typed requests, read back as the console's
// request window reads them: codes, sizes, kind bytes at their offsets, and texts
// cut to end inside their fields.
#include "shared/RequestChannel.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "shared/BoundedCopy.h"
#include "support/RecordingHandlers.h"

namespace {

SRequestSource Source() {
  SRequestSource source;
  source.strProcessPath = "C:\\Program Files\\Browser\\browser.exe";
  source.strProgram = "browser.exe";
  source.strHostIP = "192.0.2.7";
  source.nPort = 8080;
  return source;
}

// The bytes from a record offset on, as the receiver sees them.
const char* At(const SRequestRecord& built, std::size_t nOffset) {
  return reinterpret_cast<const char*>(&built.record) + nOffset;
}

void ExpectSameSource(const SRequestSource& sent, const SRequestSource& got) {
  EXPECT_EQ(sent.strProgram, got.strProgram);
  EXPECT_EQ(sent.strHostIP, got.strHostIP);
  EXPECT_EQ(sent.nPort, got.nPort);
}

struct SWebCase {
  const char* szName;
  EWebKind eKind;
  unsigned long dwCode;
  char cKind;
  const char* szSentUrl;  // the URL field as sent: none for a host address
};

void PrintTo(const SWebCase& test, std::ostream* pOut) {
  *pOut << test.szName;
}

class WebRecord : public testing::TestWithParam<SWebCase> {};

TEST_P(WebRecord, IsDecodedAsTheRequestItWasBuiltFrom) {
  SWebRequest request;
  request.eKind = GetParam().eKind;
  request.source = Source();
  request.strUrl = "login.example.com/verify";
  const SRequestRecord built = RequestRecordOf(request);
  EXPECT_EQ(GetParam().dwCode, built.dwCode);
  EXPECT_EQ(WEB_REQUEST_SIZE, built.cbData);
  EXPECT_EQ(GetParam().cKind, *At(built, 653));
  EXPECT_STREQ(request.source.strProcessPath.c_str(), At(built, 0));
  EXPECT_STREQ("8080", At(built, 382));
  EXPECT_STREQ(GetParam().szSentUrl, At(built, 392));

  CRecordingHandlers handlers;
  handlers.nReply = VERDICT_BLOCK;
  const SDispatchResult result = DispatchRequest(built.dwCode, &built.record, built.cbData, handlers);
  EXPECT_TRUE(result.bHandled);
  ASSERT_EQ(1u, handlers.calls.size()) << "the console refused the record";
  EXPECT_EQ(request.eKind, handlers.lastWeb.eKind);
  ExpectSameSource(request.source, handlers.lastWeb.source);
  EXPECT_EQ(GetParam().szSentUrl, handlers.lastWeb.strUrl);
}

INSTANTIATE_TEST_SUITE_P(RequestChannel, WebRecord,
                         testing::Values(SWebCase{"HostIP", EWebKind::HostIP, REQUEST_HOST_IP, KIND_HOST_IP, ""},
                                         SWebCase{"Url", EWebKind::Url, REQUEST_URL, KIND_URL,
                                                  "login.example.com/verify"}),
                         [](const testing::TestParamInfo<SWebCase>& info) { return info.param.szName; });

struct SMailCase {
  const char* szName;
  EMailKind eKind;
  char cKind;
};

void PrintTo(const SMailCase& test, std::ostream* pOut) {
  *pOut << test.szName;
}

class MailRecord : public testing::TestWithParam<SMailCase> {};

TEST_P(MailRecord, IsDecodedAsTheRequestItWasBuiltFrom) {
  SMailRequest request;
  request.eKind = GetParam().eKind;
  request.source = Source();
  request.strFrom = "billing@bank.example";
  request.strTo = "you@example.net";
  request.strSubject = "account suspended";
  request.strDate = "mon, 7 dec";
  request.strAttachment = "form.zip";
  request.strText = "verify your password";
  request.strVisibleLink = "www.bank.example";
  request.strCalledLink = "evil.example/login";
  const SRequestRecord built = RequestRecordOf(request);
  EXPECT_EQ(static_cast<unsigned long>(REQUEST_MAIL), built.dwCode);
  EXPECT_EQ(MAIL_REQUEST_SIZE, built.cbData);
  EXPECT_EQ(GetParam().cKind, *At(built, 1680));
  EXPECT_STREQ("billing@bank.example", At(built, 392));
  EXPECT_STREQ("evil.example/login", At(built, 1419));

  CRecordingHandlers handlers;
  ASSERT_TRUE(DispatchRequest(built.dwCode, &built.record, built.cbData, handlers).bHandled);
  ASSERT_EQ(1u, handlers.calls.size()) << "the console refused the record";
  const SMailRequest& got = handlers.lastMail;
  EXPECT_EQ(request.eKind, got.eKind);
  ExpectSameSource(request.source, got.source);
  EXPECT_EQ(request.strFrom, got.strFrom);
  EXPECT_EQ(request.strTo, got.strTo);
  EXPECT_EQ(request.strSubject, got.strSubject);
  EXPECT_EQ(request.strDate, got.strDate);
  EXPECT_EQ(request.strAttachment, got.strAttachment);
  EXPECT_EQ(request.strText, got.strText);
  if (request.eKind == EMailKind::Link) {
    EXPECT_EQ(request.strVisibleLink, got.strVisibleLink);
    EXPECT_EQ(request.strCalledLink, got.strCalledLink);
  }
}

INSTANTIATE_TEST_SUITE_P(RequestChannel, MailRecord,
                         testing::Values(SMailCase{"From", EMailKind::From, KIND_MAIL_FROM},
                                         SMailCase{"Subject", EMailKind::Subject, KIND_MAIL_SUBJECT},
                                         SMailCase{"Link", EMailKind::Link, KIND_MAIL_LINK},
                                         SMailCase{"Text", EMailKind::Text, KIND_MAIL_TEXT}),
                         [](const testing::TestParamInfo<SMailCase>& info) { return info.param.szName; });

TEST(RequestChannel, OverlongTextsEndInsideTheirFieldsAndTheRecordIsTakenWhole) {
  SWebRequest request;
  request.eKind = EWebKind::Url;
  request.source.strProcessPath = "C:\\" + std::string(300, 'p');
  request.source.strProgram = std::string(150, 'n');
  request.source.strHostIP = std::string(30, '1');
  request.source.nPort = -2147483647 - 1;  // eleven characters
  request.strUrl = std::string(400, 'u');
  const SRequestRecord built = RequestRecordOf(request);
  const EngineRequest& record = built.record;
  EXPECT_EQ(request.source.strProcessPath.substr(0, 260), FieldText(record.szProcessPath));
  EXPECT_EQ(std::string(100, 'n'), FieldText(record.szProcessName));
  EXPECT_EQ(std::string(19, '1'), FieldText(record.szHostIP));
  EXPECT_EQ("-21474836", FieldText(record.szPort));
  EXPECT_EQ(std::string(260, 'u'), FieldText(record.web.szUrl));
  EXPECT_EQ(KIND_URL, record.web.cWebKind);

  CRecordingHandlers handlers;
  DispatchRequest(built.dwCode, &record, built.cbData, handlers);
  EXPECT_EQ(1u, handlers.calls.size()) << "a field was left without its terminator";
}

}  // namespace
