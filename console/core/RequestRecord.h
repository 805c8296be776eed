// The receiving side of the request channel: the checks that keep a malformed
// record away from every handler, the decoding of a record into the typed web or
// mail request, and which handler that request reaches.
#pragma once

#include "console/core/CoreLayer.h"

#include <cstddef>

#include "shared/Requests.h"
#include "shared/EngineRequest.h"

// The two request handlers: web requests (codes 1125 and 1126) and mail requests
// (1127). Each returns the verdict: 1 allow, 0 block.
class IRequestHandlers {
 public:
  virtual ~IRequestHandlers() = default;
  virtual int HandleWebRequest(const SWebRequest& request) = 0;
  virtual int HandleMailRequest(const SMailRequest& request) = 0;
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

// The typed request of a record that holds the whole layout of its code. Text
// fields are read up to their terminator or their width; the port is the decimal
// value of szPort. A kind byte outside the kinds decodes to a value outside the
// enumeration, which no list entry matches; DispatchRequest never lets one through.
SWebRequest DecodeWebRequest(const EngineRequest& record);
SMailRequest DecodeMailRequest(const EngineRequest& record);
