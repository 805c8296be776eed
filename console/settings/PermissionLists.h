// The two permission lists: MailSafe (one entry per matched sender, subject, link
// pair or body text) and WebSiteBlocking (one entry per host address or URL, per
// program and per port). Each list carries a protection state that switches the
// whole list and a list permission that overrides the entries' own Action.
#pragma once

#include <cstdint>
#include <deque>
#include <string>

#include "shared/EngineRequest.h"

class IStoreKey;

// Permission values of lists and entries.
enum : std::int32_t { PERMISSION_ALLOW = 0, PERMISSION_BLOCK = 1, PERMISSION_ASK = 2 };

// String-table number of a permission's display text (7016 Allow, 7017 Block,
// 7018 Ask), 0 for any other value, which displays as an empty text.
unsigned PermissionStringId(std::int32_t nPermission);

// "FTP", "SMTP", "HTTP", "POP3", "IMAP" or "Unknown".
const char* PortProtocolName(std::int32_t nPort);

// What identifies an entry of a request: the kind name ("From", "Subject", "Link",
// "Message", "IP", "URL"; empty for any other kind byte) and the restricted text.
std::string MailKindName(const EngineRequest& request);
std::string MailRestrictedText(const EngineRequest& request);
std::string WebKindName(const EngineRequest& request);
std::string WebRestrictedText(const EngineRequest& request);

// The port of a request: the decimal value of szPort.
std::int32_t RequestPort(const EngineRequest& request);

class CMailSafeItem {
 public:
  std::int32_t nAction = PERMISSION_ASK;
  std::string strStrictedData;
  std::string strType;
  std::string strProgram;
  std::string strDataTime;
  std::string strFrom;
  std::string strTo;
  std::string strSubject;
  std::string strAttachmentFile;
  std::int32_t nPort = 0;  // also what an entry stored without a port reads as
};

class CWebSiteItem {
 public:
  std::int32_t nAction = PERMISSION_ASK;
  std::string strType;
  std::string strStrictedData;
  std::string strScamSite;
  std::string strProgram;
  std::string strDataTime;
  std::string strIPAddress;
  std::int32_t nPort = -1;
};

// What both lists share. Entries are addressed by index, contiguous from 0, in
// order of insertion. They are held in a deque so that a reference taken by an
// outer request stays valid while a nested request appends.
template <class TItem>
class CPermissionList {
 public:
  int GetCount() const { return static_cast<int>(m_entries.size()); }

  // Index of the new entry: the count before the append.
  int AppendEntry(const TItem& item) {
    m_entries.push_back(item);
    return GetCount() - 1;
  }
  // Null when the index is outside 0 to count - 1.
  TItem* EntryAt(int nIndex) { return IsIndex(nIndex) ? &m_entries[static_cast<std::size_t>(nIndex)] : nullptr; }
  const TItem* EntryAt(int nIndex) const {
    return IsIndex(nIndex) ? &m_entries[static_cast<std::size_t>(nIndex)] : nullptr;
  }
  // Both ignore an index outside 0 to count - 1.
  void SetAction(int nIndex, std::int32_t nPermission) {
    if (IsIndex(nIndex)) m_entries[static_cast<std::size_t>(nIndex)].nAction = nPermission;
  }
  void RemoveEntry(int nIndex) {
    if (IsIndex(nIndex)) m_entries.erase(m_entries.begin() + nIndex);
  }
  void RemoveAll() { std::deque<TItem>().swap(m_entries); }  // releases the storage too

  std::int32_t GetProtectionState() const { return m_nProtectionState; }
  void SetProtectionState(std::int32_t nState) { m_nProtectionState = nState; }
  std::int32_t GetPermission() const { return m_nPermission; }
  void SetPermission(std::int32_t nPermission) { m_nPermission = nPermission; }

 protected:
  bool IsIndex(int nIndex) const { return nIndex >= 0 && nIndex < GetCount(); }

  std::deque<TItem> m_entries;
  std::int32_t m_nProtectionState = 1;
  std::int32_t m_nPermission = PERMISSION_ASK;
};

class CMailSafeList : public CPermissionList<CMailSafeItem> {
 public:
  // The first entry whose StrictedData and Type equal the request's restricted
  // text and kind name, ignoring case; -1 when there is none.
  int FindMailEntry(const EngineRequest& request) const;

  // The subkey "MailSafe" of the product key. Writing reports false at the first
  // value the registry refused and writes nothing after it.
  void ReadFromKey(IStoreKey& productKey);
  bool WriteToKey(IStoreKey& productKey) const;
};

class CWebSiteBlockingList : public CPermissionList<CWebSiteItem> {
 public:
  // The first entry with the request's port and program (ignoring case) and, for
  // kind 'I', StrictedData equal to szHostIP, for kind 'U', ScamSite equal to szUrl
  // and Type "URL". -1 when there is none, and always for any other kind byte.
  int FindWebEntry(const EngineRequest& request) const;

  // The subkey "WebSiteBlocking" of the product key, written like "MailSafe".
  void ReadFromKey(IStoreKey& productKey);
  bool WriteToKey(IStoreKey& productKey) const;
};
