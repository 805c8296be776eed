#include "console/settings/PermissionLists.h"

#include "console/ConsoleResources.h"
#include "console/settings/TextCompare.h"

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

std::string MailRestrictedText(const SMailRequest& request) {
  switch (request.eKind) {
    case EMailKind::From:
      return request.strFrom;
    case EMailKind::Subject:
      return request.strSubject;
    case EMailKind::Text:
      return request.strText;
    case EMailKind::Link:
      // Two lines joined by one line feed, none at the end.
      return "Called: '" + request.strCalledLink + "'\nVisible: '" + request.strVisibleLink + "'";
  }
  return std::string();
}

std::string WebRestrictedText(const SWebRequest& request) {
  switch (request.eKind) {
    case EWebKind::HostIP:
      return request.source.strHostIP;
    case EWebKind::Url:
      return request.strUrl;
  }
  return std::string();
}

namespace {

std::size_t MailKey(const std::string& strStrictedData, const SEntryKind& kind) {
  return CEntryKey().AddText(strStrictedData).AddKind(kind).Hash();
}

std::size_t WebKey(std::int32_t nPort, const std::string& strProgram, const std::string& strValue) {
  return CEntryKey().AddNumber(nPort).AddText(strProgram).AddText(strValue).Hash();
}

}  // namespace

SEntryKeys EntryKeysOf(const CMailSafeItem& item) {
  SEntryKeys keys;
  keys.anHash[INDEX_MAIL] = MailKey(item.strStrictedData, item.kind);
  keys.abHas[INDEX_MAIL] = true;
  return keys;
}

SEntryKeys EntryKeysOf(const CWebSiteItem& item) {
  SEntryKeys keys;
  keys.anHash[INDEX_WEB_HOST_IP] = WebKey(item.nPort, item.strProgram, item.strStrictedData);
  keys.abHas[INDEX_WEB_HOST_IP] = true;
  if (item.kind == EEntryKind::Url) {
    keys.anHash[INDEX_WEB_URL] = WebKey(item.nPort, item.strProgram, item.strScamSite);
    keys.abHas[INDEX_WEB_URL] = true;
  }
  return keys;
}

int CMailSafeList::FindMailEntry(const SMailRequest& request) const {
  const SEntryKind kind = EntryKindOf(request.eKind);
  const std::string strValue = MailRestrictedText(request);
  return FindIndexed(INDEX_MAIL, MailKey(strValue, kind), [&](int i) {
    return IsSame(Entry(i).strStrictedData, strValue) && IsSameKind(Entry(i).kind, kind);
  });
}

int CWebSiteBlockingList::FindWebEntry(const SWebRequest& request) const {
  const EWebKind eKind = request.eKind;
  if (eKind != EWebKind::HostIP && eKind != EWebKind::Url) return -1;
  const std::int32_t nPort = request.source.nPort;
  const std::string& strProgram = request.source.strProgram;
  const std::string strValue = WebRestrictedText(request);
  const auto isMatch = [&](int i) {
    const CWebSiteItem& item = Entry(i);
    if (item.nPort != nPort || !IsSame(item.strProgram, strProgram)) return false;
    // A host-address request matches by StrictedData whatever the entry's Type;
    // a URL request needs a URL entry with that site.
    return eKind == EWebKind::HostIP ? IsSame(item.strStrictedData, strValue)
                                     : IsSame(item.strScamSite, strValue) && item.kind == EEntryKind::Url;
  };
  return FindIndexed(eKind == EWebKind::HostIP ? INDEX_WEB_HOST_IP : INDEX_WEB_URL, WebKey(nPort, strProgram, strValue),
                     isMatch);
}
