// The checks of a mail page and the requests that report their findings.
#include "engine/browser/MailPageScan.h"

#include <cstring>

#include "engine/browser/MailHeaderParser.h"
#include "shared/BoundedCopy.h"

void FillMailRequest(EngineRequest& request, const char* szProcessPath, const CMailHeaderParser& parser) {
  std::memset(&request, 0, sizeof(request));
  const char* psz = szProcessPath ? szProcessPath : "";
  CopyBounded(request.szProcessPath, psz);
  const char* pszName = std::strrchr(request.szProcessPath, '\\');
  CopyBounded(request.szProcessName, pszName ? pszName + 1 : request.szProcessPath);
  CopyBounded(request.szPort, "80");
  // Header fields have no length limit on the page; in the record each one is cut
  // to its first 100 characters so that it ends inside its field.
  CopyBounded(request.mail.szFrom, parser.GetFrom());
  CopyBounded(request.mail.szTo, parser.GetTo());
  CopyBounded(request.mail.szSubject, parser.GetSubject());
  CopyBounded(request.mail.szDate, parser.GetDate());
  CopyBounded(request.mail.szAttachment, parser.GetAttachment());
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

  EngineRequest request;
  FillMailRequest(request, szProcessPath, parser);
  SMailRequestTail& mail = request.mail;
  // Findings go out in a fixed order while the console answers allow.
  if (bBadFrom) {
    mail.cMailKind = KIND_MAIL_FROM;
    if (site.SendMailRequest(request) == 0) return EMailScanResult::Blocked;
  }
  if (bBadSubject) {
    mail.cMailKind = KIND_MAIL_SUBJECT;
    if (site.SendMailRequest(request) == 0) return EMailScanResult::Blocked;
  }
  if (bBadVisibleLink) {
    mail.cMailKind = KIND_MAIL_LINK;
    CopyBounded(mail.szVisibleLink, szVisibleLink);
    CopyBounded(mail.szCalledLink, szCalledLink);
    if (site.SendMailRequest(request) == 0) return EMailScanResult::Blocked;
  }
  if (bBadLink) {
    mail.cMailKind = KIND_MAIL_LINK;
    CopyBounded(mail.szVisibleLink, szMatchedLink);
    CopyBounded(mail.szCalledLink, szMatchedLink);
    if (site.SendMailRequest(request) == 0) return EMailScanResult::Blocked;
  }
  if (bBadText) {
    mail.cMailKind = KIND_MAIL_TEXT;
    CopyBounded(mail.szText, szMatchedText);
    if (site.SendMailRequest(request) == 0) return EMailScanResult::Blocked;
  }
  return EMailScanResult::Allowed;
}
