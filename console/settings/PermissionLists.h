// The two permission lists: MailSafe (one entry per matched sender, subject, link
// pair or body text) and WebSiteBlocking (one entry per host address or URL, per
// program and per port). Each list carries a protection state that switches the
// whole list and a list permission that overrides the entries' own Action.
#pragma once

#include <cstdint>
#include <deque>
#include <string>

#include "console/settings/EntryIndex.h"
#include "console/settings/KindsAndRatings.h"
#include "shared/Requests.h"

class IStoreKey;
class CResult;

// Permission values of lists and entries.
enum : std::int32_t { PERMISSION_ALLOW = 0, PERMISSION_BLOCK = 1, PERMISSION_ASK = 2 };

// String-table number of a permission's display text (7016 Allow, 7017 Block,
// 7018 Ask), 0 for any other value, which displays as an empty text.
unsigned PermissionStringId(std::int32_t nPermission);

// "FTP", "SMTP", "HTTP", "POP3", "IMAP" or "Unknown".
const char* PortProtocolName(std::int32_t nPort);

// What identifies an entry of a request besides its kind (EntryKindOf): the
// restricted text.
std::string MailRestrictedText(const SMailRequest& request);
std::string WebRestrictedText(const SWebRequest& request);

class CMailSafeItem {
 public:
  std::int32_t nAction = PERMISSION_ASK;
  std::string strStrictedData;
  SEntryKind kind;  // stored as "Type"
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
  SEntryKind kind;  // stored as "Type"
  std::string strStrictedData;
  std::string strScamSite;
  std::string strProgram;
  std::string strDataTime;
  std::string strIPAddress;
  std::int32_t nPort = -1;
};

// The identifying keys of an entry: for mail, StrictedData with the kind; for web,
// port and Program with StrictedData (host-address requests) and, for URL
// entries only, port and Program with ScamSite (URL requests).
enum : int { INDEX_MAIL = 0, INDEX_WEB_HOST_IP = 0, INDEX_WEB_URL = 1, INDEX_COUNT = 2 };
struct SEntryKeys {
  std::size_t anHash[INDEX_COUNT] = {};
  bool abHas[INDEX_COUNT] = {};
};
SEntryKeys EntryKeysOf(const CMailSafeItem& item);
SEntryKeys EntryKeysOf(const CWebSiteItem& item);

// What both lists share. Entries are addressed by index, contiguous from 0, in
// order of insertion. They are held in a deque so that a reference taken by an
// outer request stays valid while a nested request appends. Beside the array an
// index finds entries by their identifying fields; appends, removals and the
// load keep it right, and an entry reached for writing (EntryAt) makes it be
// built again at the next find, since its identifying fields may have changed.
template <class TItem>
class CPermissionList {
 public:
  int GetCount() const { return static_cast<int>(m_entries.size()); }

  // Index of the new entry: the count before the append.
  int AppendEntry(const TItem& item) {
    m_entries.push_back(item);
    const int nIndex = GetCount() - 1;
    if (!m_bIndexStale) IndexEntry(nIndex);
    return nIndex;
  }
  // Null when the index is outside 0 to count - 1.
  TItem* EntryAt(int nIndex) {
    if (!IsIndex(nIndex)) return nullptr;
    m_bIndexStale = true;
    return &m_entries[static_cast<std::size_t>(nIndex)];
  }
  const TItem* EntryAt(int nIndex) const { return IsIndex(nIndex) ? &Entry(nIndex) : nullptr; }
  // Both ignore an index outside 0 to count - 1.
  void SetAction(int nIndex, std::int32_t nPermission) {
    if (IsIndex(nIndex)) m_entries[static_cast<std::size_t>(nIndex)].nAction = nPermission;
  }
  void RemoveEntry(int nIndex) {
    if (!IsIndex(nIndex)) return;
    m_entries.erase(m_entries.begin() + nIndex);
    if (m_bIndexStale) return;
    for (CEntryIndex& index : m_aIndexes) index.Remove(nIndex);
  }
  void RemoveAll() {  // releases the storage too
    std::deque<TItem>().swap(m_entries);
    for (CEntryIndex& index : m_aIndexes) index.Clear();
    m_bIndexStale = false;
  }

  std::int32_t GetProtectionState() const { return m_nProtectionState; }
  void SetProtectionState(std::int32_t nState) { m_nProtectionState = nState; }
  std::int32_t GetPermission() const { return m_nPermission; }
  void SetPermission(std::int32_t nPermission) { m_nPermission = nPermission; }

 protected:
  bool IsIndex(int nIndex) const { return nIndex >= 0 && nIndex < GetCount(); }
  const TItem& Entry(int nIndex) const { return m_entries[static_cast<std::size_t>(nIndex)]; }

  // The lowest index with this key in index nKind that isMatch accepts, or -1.
  template <class Match>
  int FindIndexed(int nKind, std::size_t nHash, Match isMatch) const {
    if (m_bIndexStale) {
      for (CEntryIndex& index : m_aIndexes) index.Clear();
      m_bIndexStale = false;
      for (int i = 0; i < GetCount(); ++i) IndexEntry(i);
    }
    return m_aIndexes[nKind].FindFirst(nHash, isMatch);
  }

 private:
  void IndexEntry(int nIndex) const {
    const SEntryKeys keys = EntryKeysOf(Entry(nIndex));
    for (int k = 0; k < INDEX_COUNT; ++k) {
      if (keys.abHas[k]) m_aIndexes[k].Add(keys.anHash[k], nIndex);
    }
  }

  std::deque<TItem> m_entries;
  mutable CEntryIndex m_aIndexes[INDEX_COUNT];
  mutable bool m_bIndexStale = false;
  std::int32_t m_nProtectionState = 1;
  std::int32_t m_nPermission = PERMISSION_ASK;
};

class CMailSafeList : public CPermissionList<CMailSafeItem> {
 public:
  // The first entry of the request's kind whose StrictedData equals the request's
  // restricted text, ignoring case; -1 when there is none.
  int FindMailEntry(const SMailRequest& request) const;

  // The subkey "MailSafe" of the product key. Writing stops at the first value the
  // registry refused and returns its result.
  void ReadFromKey(IStoreKey& productKey);
  CResult WriteToKey(IStoreKey& productKey) const;
};

class CWebSiteBlockingList : public CPermissionList<CWebSiteItem> {
 public:
  // The first entry with the request's port and program (ignoring case) and, for
  // a host address, StrictedData equal to that address, for a URL, ScamSite equal
  // to the URL and the kind URL. -1 when there is none, and always for a value
  // outside the kinds.
  int FindWebEntry(const SWebRequest& request) const;

  // The subkey "WebSiteBlocking" of the product key, written like "MailSafe".
  void ReadFromKey(IStoreKey& productKey);
  CResult WriteToKey(IStoreKey& productKey) const;
};
