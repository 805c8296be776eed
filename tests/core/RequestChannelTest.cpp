// The records senders build from typed requests, read back as the console's
// request window reads them, and texts cut to end inside their fields.
#include "shared/RequestChannel.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shared/BoundedCopy.h"
#include "support/RecordingHandlers.h"
#include "support/TestRequests.h"

namespace {

// The record as the console's window receives it: handled once, by its kind's handler.
void Deliver(const SRequestRecord& built, CRecordingHandlers& handlers) {
  EXPECT_TRUE(DispatchRequest(built.dwCode, &built.record, built.cbData, handlers).bHandled);
  EXPECT_EQ(1u, handlers.calls.size()) << "the console refused the record";
}

std::string SourceText(const SRequestSource& source) {
  return source.strProgram + " " + source.strHostIP + " " + std::to_string(source.nPort);
}

TEST(RequestChannel, WebRecordsAreDecodedAsTheRequestsTheyWereBuiltFrom) {
  for (const EWebKind eKind : {EWebKind::HostIP, EWebKind::Url}) {
    const bool bUrl = eKind == EWebKind::Url;
    const SWebRequest request = TypedWebRequest(eKind, "browser.exe", 8080, "192.0.2.7", "login.example.com/verify");
    const SRequestRecord built = RequestRecordOf(request);
    EXPECT_EQ(bUrl ? REQUEST_URL : REQUEST_HOST_IP, built.dwCode);
    EXPECT_EQ(WEB_REQUEST_SIZE, built.cbData);
    // A host address is sent without its URL.
    EXPECT_EQ(bUrl ? request.strUrl : "", FieldText(built.record.web.szUrl));
    CRecordingHandlers handlers;
    Deliver(built, handlers);
    EXPECT_EQ(eKind, handlers.lastWeb.eKind);
    EXPECT_EQ(SourceText(request.source), SourceText(handlers.lastWeb.source));
  }
}

// Every field is sent whatever the kind, the links too.
TEST(RequestChannel, MailRecordsCarryEveryFieldAndTheirKind) {
  for (const EMailKind eKind : {EMailKind::From, EMailKind::Subject, EMailKind::Link, EMailKind::Text}) {
    SMailRequest request = TypedMailRequest(eKind);
    request.strDate = "mon, 7 dec";
    request.strAttachment = "form.zip";
    const SRequestRecord built = RequestRecordOf(request);
    EXPECT_EQ(static_cast<unsigned long>(REQUEST_MAIL), built.dwCode);
    EXPECT_EQ(MAIL_REQUEST_SIZE, built.cbData);
    EXPECT_EQ(request.strVisibleLink, FieldText(built.record.mail.szVisibleLink));
    EXPECT_EQ(request.strCalledLink, FieldText(built.record.mail.szCalledLink));
    CRecordingHandlers handlers;
    Deliver(built, handlers);
    const SMailRequest& got = handlers.lastMail;
    EXPECT_EQ(eKind, got.eKind);
    EXPECT_EQ(SourceText(request.source), SourceText(got.source));
    EXPECT_EQ((std::vector<std::string>{request.strFrom, request.strTo, request.strSubject, request.strDate,
                                        request.strAttachment, request.strText}),
              (std::vector<std::string>{got.strFrom, got.strTo, got.strSubject, got.strDate, got.strAttachment,
                                        got.strText}));
  }
}

TEST(RequestChannel, OverlongTextsEndInsideTheirFieldsAndRecordsAreTakenWhole) {
  SWebRequest request = TypedWebRequest(EWebKind::Url, std::string(150, 'n').c_str(), -2147483647 - 1,
                                        std::string(30, '1').c_str(), std::string(400, 'u').c_str());
  request.source.strProcessPath = "C:\\" + std::string(300, 'p');
  const SRequestRecord built = RequestRecordOf(request);
  const EngineRequest& record = built.record;
  EXPECT_EQ(request.source.strProcessPath.substr(0, 260), FieldText(record.szProcessPath));
  EXPECT_EQ(std::string(100, 'n'), FieldText(record.szProcessName));
  EXPECT_EQ(std::string(19, '1'), FieldText(record.szHostIP));
  EXPECT_EQ("-21474836", FieldText(record.szPort));  // of eleven characters
  EXPECT_EQ(std::string(260, 'u'), FieldText(record.web.szUrl));

  CRecordingHandlers handlers;
  Deliver(built, handlers);  // no field was left without its terminator

  SMailRequest mail = TypedMailRequest(EMailKind::Link);
  for (std::string* pField : {&mail.strFrom, &mail.strTo, &mail.strSubject, &mail.strDate, &mail.strAttachment,
                              &mail.strText, &mail.strVisibleLink, &mail.strCalledLink})
    *pField = std::string(400, 'm');
  const SRequestRecord builtMail = RequestRecordOf(mail);
  EXPECT_EQ(std::string(100, 'm'), FieldText(builtMail.record.mail.szFrom));
  CRecordingHandlers mailHandlers;
  Deliver(builtMail, mailHandlers);
}

}  // namespace
