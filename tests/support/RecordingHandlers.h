// Request handlers for tests: each call is recorded by kind ("ip", "url",
// "mail") with the whole request, and answered with the reply that the test set.
#pragma once

#include <string>
#include <vector>

#include "console/core/RequestRecord.h"

class CRecordingHandlers : public IRequestHandlers {
 public:
  int HandleWebRequest(const SWebRequest& request) override {
    lastWeb = request;
    return Record(request.eKind == EWebKind::HostIP ? "ip" : "url");
  }
  int HandleMailRequest(const SMailRequest& request) override {
    lastMail = request;
    return Record("mail");
  }

  std::vector<std::string> calls;
  SWebRequest lastWeb;
  SMailRequest lastMail;
  int nReply = VERDICT_ALLOW;

 private:
  int Record(const char* szWhich) {
    calls.push_back(szWhich);
    return nReply;
  }
};
