#include "console/settings/PermissionLists.h"

#include <cstring>

#include "console/ConsoleResources.h"
#include "console/settings/DecimalText.h"
#include "console/settings/TextCompare.h"
#include "shared/BoundedCopy.h"

namespace {

bool IsSame(const std::string& strFirst, const std::string& strSecond) {
  return IsSameTextIgnoringCase(strFirst.c_str(), strSecond.c_str());
}

}  // namespace

unsigned PermissionStringId(std::int32_t nPermission) {
  switch (nPermission) {
    case PERMISSION_ALLOW:
      return IDS_ACTION_ALLOW;
    case PERMISSION_BLOCK:
      return IDS_ACTION_BLOCK;
    case PERMISSION_ASK:
      return IDS_ACTION_ASK;
    default:
      return 0;
  }
}

const char* PortProtocolName(std::int32_t nPort) {
  switch (nPort) {
    case 21:
      return "FTP";
    case 25:
      return "SMTP";
    case 80:
    case 8080:
      return "HTTP";
    case 110:
      return "POP3";
    case 143:
      return "IMAP";
    default:
      return "Unknown";
  }
}

std::string MailKindName(const EngineRequest& request) {
  switch (request.mail.cMailKind) {
    case KIND_MAIL_FROM:
      return "From";
    case KIND_MAIL_SUBJECT:
      return "Subject";
    case KIND_MAIL_TEXT:
      return "Message";
    case KIND_MAIL_LINK:
      return "Link";
    default:
      return std::string();
  }
}

std::string MailRestrictedText(const EngineRequest& request) {
  const SMailRequestTail& mail = request.mail;
  switch (mail.cMailKind) {
    case KIND_MAIL_FROM:
      return FieldText(mail.szFrom);
    case KIND_MAIL_SUBJECT:
      return FieldText(mail.szSubject);
    case KIND_MAIL_TEXT:
      return FieldText(mail.szText);
    case KIND_MAIL_LINK:
      // Two lines joined by one line feed, none at the end.
      return "Called: '" + FieldText(mail.szCalledLink) + "'\nVisible: '" + FieldText(mail.szVisibleLink) + "'";
    default:
      return std::string();
  }
}

std::string WebKindName(const EngineRequest& request) {
  switch (request.web.cWebKind) {
    case KIND_HOST_IP:
      return "IP";
    case KIND_URL:
      return "URL";
    default:
      return std::string();
  }
}

std::string WebRestrictedText(const EngineRequest& request) {
  switch (request.web.cWebKind) {
    case KIND_HOST_IP:
      return FieldText(request.szHostIP);
    case KIND_URL:
      return FieldText(request.web.szUrl);
    default:
      return std::string();
  }
}

std::int32_t RequestPort(const EngineRequest& request) {
  return DecimalValue(request.szPort, sizeof(request.szPort));
}

int CMailSafeList::FindMailEntry(const EngineRequest& request) const {
  const std::string strKind = MailKindName(request);
  const std::string strValue = MailRestrictedText(request);
  for (std::size_t i = 0; i < m_entries.size(); ++i) {
    if (IsSame(m_entries[i].strStrictedData, strValue) && IsSame(m_entries[i].strType, strKind)) {
      return static_cast<int>(i);
    }
  }
  return -1;
}

int CWebSiteBlockingList::FindWebEntry(const EngineRequest& request) const {
  const char cKind = request.web.cWebKind;
  if (cKind != KIND_HOST_IP && cKind != KIND_URL) return -1;
  const std::int32_t nPort = RequestPort(request);
  const std::string strProgram = FieldText(request.szProcessName);
  const std::string strValue = WebRestrictedText(request);
  for (std::size_t i = 0; i < m_entries.size(); ++i) {
    const CWebSiteItem& item = m_entries[i];
    if (item.nPort != nPort || !IsSame(item.strProgram, strProgram)) continue;
    // A host-address request matches by StrictedData whatever the entry's Type;
    // a URL request needs a URL entry with that site.
    const bool bMatch = cKind == KIND_HOST_IP ? IsSame(item.strStrictedData, strValue)
                                              : IsSame(item.strScamSite, strValue) && IsSame(item.strType, "URL");
    if (bMatch) return static_cast<int>(i);
  }
  return -1;
}
