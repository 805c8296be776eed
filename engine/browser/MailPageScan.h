// The mail part of a page scan: the mail test on the page text, the five checks
// and the requests to the console, one finding at a time. The browser side gives
// it the page's text and HTML and acts on its answer.
#pragma once

#include "shared/EngineRequest.h"

// What a scan needs from its surroundings: the mail matchers and the channel to
// the console.
class IMailScanSite {
 public:
  virtual ~IMailScanSite() = default;
  virtual bool IsBadMailFrom(const char* szFrom) = 0;
  virtual bool IsBadMailSubject(const char* szSubject) = 0;
  virtual bool IsBadMailText(const char* szText, char* szMatchedText) = 0;
  virtual bool IsBadVisibleMailLinks(const char* szText, char* szVisibleLink, char* szCalledLink) = 0;
  virtual bool IsBadMailLinks(const char* szText, char* szMatchedLink) = 0;
  // Sends one mail request; answers the console's reply (0 = block).
  virtual long SendMailRequest(const EngineRequest& request) = 0;
};

enum class EMailScanResult {
  NotMail,    // the text shows no sender or no recipient label
  NoFinding,  // a mail, but nothing listed
  Allowed,    // every finding was answered allow
  Blocked,    // a reply was 0: the page must be replaced
};

// szText: the page's visible text; szHtml: its HTML; szProcessPath: the browser
// program's path for the request record.
EMailScanResult ScanMailText(const char* szText, const char* szHtml, const char* szProcessPath, IMailScanSite& site);

// Fills the fixed part of a mail request: the sending program, port "80", an
// empty host address and the five header fields, each cut to end inside its field.
class CMailHeaderParser;
void FillMailRequest(EngineRequest& request, const char* szProcessPath, const CMailHeaderParser& parser);
