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

namespace {

std::size_t MailKey(const std::string& strStrictedData, const std::string& strType) {
  return CEntryKey().AddText(strStrictedData).AddText(strType).Hash();
}

std::size_t WebKey(std::int32_t nPort, const std::string& strProgram, const std::string& strValue) {
  return CEntryKey().AddNumber(nPort).AddText(strProgram).AddText(strValue).Hash();
}

}  // namespace

SEntryKeys EntryKeysOf(const CMailSafeItem& item) {
  SEntryKeys keys;
  keys.anHash[INDEX_MAIL] = MailKey(item.strStrictedData, item.strType);
  keys.abHas[INDEX_MAIL] = true;
  return keys;
}

SEntryKeys EntryKeysOf(const CWebSiteItem& item) {
  SEntryKeys keys;
  keys.anHash[INDEX_WEB_HOST_IP] = WebKey(item.nPort, item.strProgram, item.strStrictedData);
  keys.abHas[INDEX_WEB_HOST_IP] = true;
  if (IsSame(item.strType, "URL")) {
    keys.anHash[INDEX_WEB_URL] = WebKey(item.nPort, item.strProgram, item.strScamSite);
    keys.abHas[INDEX_WEB_URL] = true;
  }
  return keys;
}

int CMailSafeList::FindMailEntry(const EngineRequest& request) const {
  const std::string strKind = MailKindName(request);
  const std::string strValue = MailRestrictedText(request);
  return FindIndexed(INDEX_MAIL, MailKey(strValue, strKind), [&](int i) {
    return IsSame(Entry(i).strStrictedData, strValue) && IsSame(Entry(i).strType, strKind);
  });
}

int CWebSiteBlockingList::FindWebEntry(const EngineRequest& request) const {
  const char cKind = request.web.cWebKind;
  if (cKind != KIND_HOST_IP && cKind != KIND_URL) return -1;
  const std::int32_t nPort = RequestPort(request);
  const std::string strProgram = FieldText(request.szProcessName);
  const std::string strValue = WebRestrictedText(request);
  const auto isMatch = [&](int i) {
    const CWebSiteItem& item = Entry(i);
    if (item.nPort != nPort || !IsSame(item.strProgram, strProgram)) return false;
    // A host-address request matches by StrictedData whatever the entry's Type;
    // a URL request needs a URL entry with that site.
    return cKind == KIND_HOST_IP ? IsSame(item.strStrictedData, strValue)
                                 : IsSame(item.strScamSite, strValue) && IsSame(item.strType, "URL");
  };
  return FindIndexed(cKind == KIND_HOST_IP ? INDEX_WEB_HOST_IP : INDEX_WEB_URL, WebKey(nPort, strProgram, strValue),
                     isMatch);
}
