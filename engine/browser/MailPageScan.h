// The mail part of a page scan: the mail test on the page text, the five checks
// and the requests to the console, one finding at a time. The browser side gives
// it the page's text and HTML and acts on its answer.
#pragma once

#include "shared/Requests.h"

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
  // Sends one mail request through the request channel; answers the console's
  // reply (0 = block, also when the console could not be asked).
  virtual long SendMailRequest(const SMailRequest& request) = 0;
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

// The part of a page's mail requests that all its findings share: the sending
// program (its path and the name after the last backslash), port 80, no host
// address and the five header fields as the page shows them.
class CMailHeaderParser;
SMailRequest MailRequestOf(const char* szProcessPath, const CMailHeaderParser& parser);
