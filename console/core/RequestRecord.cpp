#include "console/core/RequestRecord.h"

#include <cstring>

#include "shared/BoundedCopy.h"

namespace {

template <std::size_t N>
bool Terminated(const char (&field)[N]) {
  return IsTerminatedWithin(field, N);
}

bool IsMailKind(char cKind) {
  return cKind == KIND_MAIL_FROM || cKind == KIND_MAIL_SUBJECT || cKind == KIND_MAIL_LINK || cKind == KIND_MAIL_TEXT;
}

}  // namespace

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

  // Work on a copy of the bytes the sender passed; the rest stays zero, so no
  // handler can read past what was copied into this process.
  EngineRequest request;
  std::memset(&request, 0, sizeof(request));
  std::memcpy(&request, pData, cbLayout);

  switch (dwCode) {
    case REQUEST_HOST_IP:
      if (request.web.cWebKind != KIND_HOST_IP) return {true, VERDICT_ALLOW};
      break;
    case REQUEST_URL:
      if (request.web.cWebKind != KIND_URL) return {true, VERDICT_ALLOW};
      break;
    default:
      if (!IsMailKind(request.mail.cMailKind)) return {true, VERDICT_ALLOW};
      break;
  }
  if (!AreRequestFieldsTerminated(dwCode, request)) return {true, VERDICT_BLOCK};

  switch (dwCode) {
    case REQUEST_HOST_IP:
      return {true, handlers.HandleHostIPRequest(request)};
    case REQUEST_URL:
      return {true, handlers.HandleUrlRequest(request)};
    default:
      return {true, handlers.HandleMailRequest(request)};
  }
}
