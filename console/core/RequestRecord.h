// The receiving side of the request channel: which handler a WM_COPYDATA request
// reaches, and the checks that keep a malformed record away from every handler.
#pragma once

#include "console/core/CoreLayer.h"

#include <cstddef>

#include "shared/EngineRequest.h"

// The three request handlers. Each returns the verdict: 1 allow, 0 block.
class IRequestHandlers {
 public:
  virtual ~IRequestHandlers() = default;
  virtual int HandleHostIPRequest(const EngineRequest& request) = 0;
  virtual int HandleUrlRequest(const EngineRequest& request) = 0;
  virtual int HandleMailRequest(const EngineRequest& request) = 0;
};

struct SDispatchResult {
  bool bHandled;  // false: unknown code, the window does default processing (0)
  int nVerdict;   // message result when bHandled
};

// Dispatches one request by its code and kind byte:
//   known code, kind that belongs to it -> that handler's verdict
//   known code, kind that does not      -> 1, no handler
//   unknown code                        -> default processing, 0
// A record shorter than its layout (654 bytes web, 1681 mail), or one whose text
// fields that the handler reads are not terminated inside their widths, is
// answered 0 (block) and reaches no handler. Nothing beyond cbData is read.
SDispatchResult DispatchRequest(unsigned long dwCode, const void* pData, std::size_t cbData,
                                IRequestHandlers& handlers);

// True when every text field that a handler reads for this code and kind ends
// inside its width. The record must hold the whole layout of the code.
bool AreRequestFieldsTerminated(unsigned long dwCode, const EngineRequest& request);
