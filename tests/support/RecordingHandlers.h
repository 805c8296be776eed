// Request handlers for tests: each call is recorded by kind ("ip", "url",
// "mail") with the whole request, and answered with the reply that the test set.
#pragma once

#include <string>
#include <vector>

#include "console/core/RequestRecord.h"

class CRecordingHandlers : public IRequestHandlers {
 public:
  int HandleHostIPRequest(const EngineRequest& request) override { return Record("ip", request); }
  int HandleUrlRequest(const EngineRequest& request) override { return Record("url", request); }
  int HandleMailRequest(const EngineRequest& request) override { return Record("mail", request); }

  std::vector<std::string> calls;
  EngineRequest last = {};
  int nReply = VERDICT_ALLOW;

 private:
  int Record(const char* szWhich, const EngineRequest& request) {
    calls.push_back(szWhich);
    last = request;
    return nReply;
  }
};
