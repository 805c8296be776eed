// The engine's own mail matchers as a mail scan asks them. The helper object in the
// browser and the browser extension's host each add their channel to the console.
#pragma once

#include "engine/LSPGlobals.h"
#include "engine/browser/MailPageScan.h"

class CEngineMailMatchers : public IMailScanSite {
 public:
  bool IsBadMailFrom(const char* szFrom) override { return CLSPGlobals::IsBadMailFrom(szFrom); }
  bool IsBadMailSubject(const char* szSubject) override { return CLSPGlobals::IsBadMailSubject(szSubject); }
  bool IsBadMailText(const char* szText, char* szMatchedText) override {
    return CLSPGlobals::IsBadMailText(szText, szMatchedText);
  }
  bool IsBadVisibleMailLinks(const char* szText, char* szVisibleLink, char* szCalledLink) override {
    return CLSPGlobals::IsBadVisibleMailLinks(szText, szVisibleLink, szCalledLink);
  }
  bool IsBadMailLinks(const char* szText, char* szMatchedLink) override {
    return CLSPGlobals::IsBadMailLinks(szText, szMatchedLink);
  }
};
