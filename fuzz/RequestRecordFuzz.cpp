// Request records of any length and content, under every request code.
#include <cstddef>
#include <cstdint>

#include "console/core/RequestRecord.h"

namespace {
class CCheckingHandlers : public IRequestHandlers {
 public:
  int HandleHostIPRequest(const EngineRequest& request) override { return Touch(request); }
  int HandleUrlRequest(const EngineRequest& request) override { return Touch(request); }
  int HandleMailRequest(const EngineRequest& request) override { return Touch(request); }

 private:
  // Reads every text field as a handler would: up to its terminator.
  static int Touch(const EngineRequest& request) {
    std::size_t n = 0;
    for (const char* p = request.szProcessName; *p; ++p) ++n;
    for (const char* p = request.szPort; *p; ++p) ++n;
    return static_cast<int>(n & 1);
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
