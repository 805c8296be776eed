// Request handlers that block everything: the safe answer for a console that has
// no request handling yet.
#pragma once

#include "console/core/CoreLayer.h"

#include "console/core/RequestRecord.h"

class CBlockAllRequests : public IRequestHandlers {
 public:
  int HandleHostIPRequest(const EngineRequest&) override { return VERDICT_BLOCK; }
  int HandleUrlRequest(const EngineRequest&) override { return VERDICT_BLOCK; }
  int HandleMailRequest(const EngineRequest&) override { return VERDICT_BLOCK; }
};
