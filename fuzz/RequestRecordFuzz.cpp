// Request records of any length and content, under every request code.
#include <cstddef>
#include <cstdint>

#include "console/core/RequestRecord.h"

namespace {
class CCheckingHandlers : public IRequestHandlers {
 public:
  int HandleWebRequest(const SWebRequest& request) override {
    return static_cast<int>((TouchSource(request.source) + request.strUrl.size()) & 1);
  }
  int HandleMailRequest(const SMailRequest& request) override {
    const std::size_t n = TouchSource(request.source) + request.strFrom.size() + request.strTo.size() +
                          request.strSubject.size() + request.strDate.size() + request.strAttachment.size() +
                          request.strText.size() + request.strVisibleLink.size() + request.strCalledLink.size();
    return static_cast<int>(n & 1);
  }

 private:
  static std::size_t TouchSource(const SRequestSource& source) {
    return source.strProgram.size() + source.strHostIP.size() + static_cast<std::size_t>(source.nPort & 1);
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
