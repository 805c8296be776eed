#include "console/core/RequestRecord.h"

#include <cstring>
#include <optional>

#include "console/settings/DecimalText.h"
#include "shared/BoundedCopy.h"

namespace {

template <std::size_t N>
bool Terminated(const char (&field)[N]) {
  return IsTerminatedWithin(field, N);
}

std::optional<EWebKind> WebKindOf(char cKind) {
  switch (cKind) {
    case KIND_HOST_IP:
      return EWebKind::HostIP;
    case KIND_URL:
      return EWebKind::Url;
    default:
      return std::nullopt;
  }
}

std::optional<EMailKind> MailKindOf(char cKind) {
  switch (cKind) {
    case KIND_MAIL_FROM:
      return EMailKind::From;
    case KIND_MAIL_SUBJECT:
      return EMailKind::Subject;
    case KIND_MAIL_LINK:
      return EMailKind::Link;
    case KIND_MAIL_TEXT:
      return EMailKind::Text;
    default:
      return std::nullopt;
  }
}

// What a kind byte outside the kinds decodes to: a value outside the enumerations.
constexpr auto kNoWebKind = static_cast<EWebKind>(0xFF);
constexpr auto kNoMailKind = static_cast<EMailKind>(0xFF);

SRequestSource DecodeSource(const EngineRequest& record) {
  SRequestSource source;
  source.strProgram = FieldText(record.szProcessName);
  source.strHostIP = FieldText(record.szHostIP);
  source.nPort = DecimalValue(record.szPort, sizeof(record.szPort));
  return source;
}

}  // namespace

SWebRequest DecodeWebRequest(const EngineRequest& record) {
  SWebRequest request;
  request.eKind = WebKindOf(record.web.cWebKind).value_or(kNoWebKind);
  request.source = DecodeSource(record);
  if (request.eKind == EWebKind::Url) request.strUrl = FieldText(record.web.szUrl);
  return request;
}

SMailRequest DecodeMailRequest(const EngineRequest& record) {
  const SMailRequestTail& mail = record.mail;
  SMailRequest request;
  request.eKind = MailKindOf(mail.cMailKind).value_or(kNoMailKind);
  request.source = DecodeSource(record);
  request.strFrom = FieldText(mail.szFrom);
  request.strTo = FieldText(mail.szTo);
  request.strSubject = FieldText(mail.szSubject);
  request.strDate = FieldText(mail.szDate);
  request.strAttachment = FieldText(mail.szAttachment);
  request.strText = FieldText(mail.szText);
  if (request.eKind == EMailKind::Link) {
    request.strVisibleLink = FieldText(mail.szVisibleLink);
    request.strCalledLink = FieldText(mail.szCalledLink);
  }
  return request;
}

bool AreRequestFieldsTerminated(unsigned long dwCode, const EngineRequest& request) {
  if (!Terminated(request.szProcessName) || !Terminated(request.szHostIP) || !Terminated(request.szPort)) {
    return false;
  }
  switch (dwCode) {
    case REQUEST_HOST_IP:
      return true;
    case REQUEST_URL:
      return Terminated(request.web.szUrl);
    case REQUEST_MAIL: {
      const SMailRequestTail& mail = request.mail;
      // The mail handler shows the body text in the alert for every kind.
      if (!Terminated(mail.szFrom) || !Terminated(mail.szTo) || !Terminated(mail.szSubject) ||
          !Terminated(mail.szDate) || !Terminated(mail.szAttachment) || !Terminated(mail.szText)) {
        return false;
      }
      if (mail.cMailKind == KIND_MAIL_LINK) return Terminated(mail.szVisibleLink) && Terminated(mail.szCalledLink);
      return true;
    }
    default:
      return false;
  }
}

SDispatchResult DispatchRequest(unsigned long dwCode, const void* pData, std::size_t cbData,
                                IRequestHandlers& handlers) {
  std::size_t cbLayout = 0;
  switch (dwCode) {
    case REQUEST_HOST_IP:
    case REQUEST_URL:
      cbLayout = WEB_REQUEST_SIZE;
      break;
    case REQUEST_MAIL:
      cbLayout = MAIL_REQUEST_SIZE;
      break;
    default:
      return {false, VERDICT_BLOCK};
  }
  if (pData == nullptr || cbData < cbLayout) return {true, VERDICT_BLOCK};

  // Work on a copy of the bytes the sender passed; the rest stays zero, so that
  // nothing behind the layout is read.
  EngineRequest record;
  std::memset(&record, 0, sizeof(record));
  std::memcpy(&record, pData, cbLayout);

  if (dwCode == REQUEST_MAIL) {
    if (!MailKindOf(record.mail.cMailKind)) return {true, VERDICT_ALLOW};
  } else {
    const EWebKind eExpected = dwCode == REQUEST_HOST_IP ? EWebKind::HostIP : EWebKind::Url;
    if (WebKindOf(record.web.cWebKind) != eExpected) return {true, VERDICT_ALLOW};
  }
  if (!AreRequestFieldsTerminated(dwCode, record)) return {true, VERDICT_BLOCK};

  if (dwCode == REQUEST_MAIL) return {true, handlers.HandleMailRequest(DecodeMailRequest(record))};
  return {true, handlers.HandleWebRequest(DecodeWebRequest(record))};
}
