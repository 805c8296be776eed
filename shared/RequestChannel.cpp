// The records of the request channel (see RequestChannel.h).
#include "shared/RequestChannel.h"

#include <cstring>

#include "shared/BoundedCopy.h"

namespace {

SRequestRecord EmptyRecord(unsigned long dwCode, std::size_t cbData, const SRequestSource& source) {
  SRequestRecord built;
  built.dwCode = dwCode;
  built.cbData = cbData;
  EngineRequest& record = built.record;
  std::memset(&record, 0, sizeof(record));
  CopyBounded(record.szProcessPath, source.strProcessPath.c_str());
  CopyBounded(record.szProcessName, source.strProgram.c_str());
  CopyBounded(record.szHostIP, source.strHostIP.c_str());
  CopyBounded(record.szPort, std::to_string(source.nPort).c_str());
  return built;
}

}  // namespace

char MailKindByte(EMailKind eKind) {
  switch (eKind) {
    case EMailKind::From:
      return KIND_MAIL_FROM;
    case EMailKind::Subject:
      return KIND_MAIL_SUBJECT;
    case EMailKind::Link:
      return KIND_MAIL_LINK;
    case EMailKind::Text:
      break;
  }
  return KIND_MAIL_TEXT;
}

SRequestRecord RequestRecordOf(const SWebRequest& request) {
  const bool bUrl = request.eKind == EWebKind::Url;
  SRequestRecord built = EmptyRecord(bUrl ? REQUEST_URL : REQUEST_HOST_IP, WEB_REQUEST_SIZE, request.source);
  SWebRequestTail& web = built.record.web;
  web.cWebKind = bUrl ? KIND_URL : KIND_HOST_IP;
  if (bUrl) CopyBounded(web.szUrl, request.strUrl.c_str());
  return built;
}

SRequestRecord RequestRecordOf(const SMailRequest& request) {
  SRequestRecord built = EmptyRecord(REQUEST_MAIL, MAIL_REQUEST_SIZE, request.source);
  SMailRequestTail& mail = built.record.mail;
  CopyBounded(mail.szFrom, request.strFrom.c_str());
  CopyBounded(mail.szTo, request.strTo.c_str());
  CopyBounded(mail.szSubject, request.strSubject.c_str());
  CopyBounded(mail.szDate, request.strDate.c_str());
  CopyBounded(mail.szAttachment, request.strAttachment.c_str());
  CopyBounded(mail.szText, request.strText.c_str());
  CopyBounded(mail.szVisibleLink, request.strVisibleLink.c_str());
  CopyBounded(mail.szCalledLink, request.strCalledLink.c_str());
  mail.cMailKind = MailKindByte(request.eKind);
  return built;
}

std::string RequestRecordText(const SRequestRecord& request) {
  const EngineRequest& record = request.record;
  const bool bMail = request.dwCode == REQUEST_MAIL;
  const char cKind = bMail ? record.mail.cMailKind : record.web.cWebKind;
  std::string strText = "request " + std::to_string(request.dwCode) + " kind '" + cKind + "' program " +
                        FieldText(record.szProcessName) + " host " + FieldText(record.szHostIP) + " port " +
                        FieldText(record.szPort);
  if (request.dwCode == REQUEST_URL) strText += " url " + FieldText(record.web.szUrl);
  return strText;
}
