// Request records of any length and content, under every request code.
#include <cstddef>
#include <cstdint>

#include "console/core/RequestRecord.h"

namespace {
class CCheckingHandlers : public IRequestHandlers {
 public:
  int HandleHostIPRequest(const EngineRequest& request) override { return TouchWeb(request); }
  int HandleUrlRequest(const EngineRequest& request) override { return TouchWeb(request); }
  int HandleMailRequest(const EngineRequest& request) override {
    // The mail handler reads the body text for every kind, the links for kind 'L'.
    const SMailRequestTail& mail = request.mail;
    std::size_t n = TouchCommon(request) + Length(mail.szFrom) + Length(mail.szTo) + Length(mail.szSubject) +
                    Length(mail.szDate) + Length(mail.szAttachment) + Length(mail.szText);
    if (mail.cMailKind == 'L') n += Length(mail.szCalledLink) + Length(mail.szVisibleLink);
    return static_cast<int>(n & 1);
  }

 private:
  // Reads a text field as a handler would: up to its terminator.
  static std::size_t Length(const char* p) {
    std::size_t n = 0;
    while (p[n]) ++n;
    return n;
  }
  static std::size_t TouchCommon(const EngineRequest& request) {
    return Length(request.szProcessName) + Length(request.szHostIP) + Length(request.szPort);
  }
  static int TouchWeb(const EngineRequest& request) {
    return static_cast<int>((TouchCommon(request) + Length(request.web.szUrl)) & 1);
  }
};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t cbData) {
  if (cbData < 1) return 0;
  CCheckingHandlers handlers;
  const unsigned long dwCode = 1124 + pData[0] % 5;
  DispatchRequest(dwCode, pData + 1, cbData - 1, handlers);
  return 0;
}
