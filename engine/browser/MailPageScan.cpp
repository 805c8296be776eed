// The checks of a mail page and the requests that report their findings.
#include "engine/browser/MailPageScan.h"

#include <string>

#include "engine/browser/MailHeaderParser.h"

SMailRequest MailRequestOf(const char* szProcessPath, const CMailHeaderParser& parser) {
  SMailRequest request;
  request.source.strProcessPath = szProcessPath ? szProcessPath : "";
  const std::size_t nSlash = request.source.strProcessPath.rfind('\\');
  request.source.strProgram =
      nSlash == std::string::npos ? request.source.strProcessPath : request.source.strProcessPath.substr(nSlash + 1);
  request.source.nPort = 80;
  request.strFrom = parser.GetFrom();
  request.strTo = parser.GetTo();
  request.strSubject = parser.GetSubject();
  request.strDate = parser.GetDate();
  request.strAttachment = parser.GetAttachment();
  return request;
}

EMailScanResult ScanMailText(const char* szText, const char* szHtml, const char* szProcessPath, IMailScanSite& site) {
  CMailHeaderParser parser(szText);
  if (!parser.IsMail()) return EMailScanResult::NotMail;
  parser.ExtractHeaders();

  char szMatchedText[261] = "";
  char szMatchedLink[261] = "";
  char szVisibleLink[261] = "";
  char szCalledLink[261] = "";
  const bool bBadFrom = parser.HasFrom() && site.IsBadMailFrom(parser.GetFrom());
  const bool bBadSubject = parser.HasSubject() && site.IsBadMailSubject(parser.GetSubject());
  const bool bBadText = parser.HasBody() && site.IsBadMailText(parser.GetBody(), szMatchedText);
  // The link checks look at the HTML; a link shown under misleading text
  // excludes the plain listed-link check.
  parser.SetBody(szHtml);
  bool bBadVisibleLink = false;
  bool bBadLink = false;
  if (parser.HasBody()) {
    bBadVisibleLink = site.IsBadVisibleMailLinks(parser.GetBody(), szVisibleLink, szCalledLink);
    if (!bBadVisibleLink) bBadLink = site.IsBadMailLinks(parser.GetBody(), szMatchedLink);
  }
  if (!bBadFrom && !bBadSubject && !bBadText && !bBadVisibleLink && !bBadLink) return EMailScanResult::NoFinding;

  // Findings go out in a fixed order while the console answers allow; what one
  // finding wrote stays for the next.
  SMailRequest request = MailRequestOf(szProcessPath, parser);
  if (bBadFrom) {
    request.eKind = EMailKind::From;
    if (site.SendMailRequest(request) == 0) return EMailScanResult::Blocked;
  }
  if (bBadSubject) {
    request.eKind = EMailKind::Subject;
    if (site.SendMailRequest(request) == 0) return EMailScanResult::Blocked;
  }
  if (bBadVisibleLink) {
    request.eKind = EMailKind::Link;
    request.strVisibleLink = szVisibleLink;
    request.strCalledLink = szCalledLink;
    if (site.SendMailRequest(request) == 0) return EMailScanResult::Blocked;
  }
  if (bBadLink) {
    request.eKind = EMailKind::Link;
    request.strVisibleLink = szMatchedLink;
    request.strCalledLink = szMatchedLink;
    if (site.SendMailRequest(request) == 0) return EMailScanResult::Blocked;
  }
  if (bBadText) {
    request.eKind = EMailKind::Text;
    request.strText = szMatchedText;
    if (site.SendMailRequest(request) == 0) return EMailScanResult::Blocked;
  }
  return EMailScanResult::Allowed;
}
