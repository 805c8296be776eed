// The alert log (one entry per distinct event, with a repeat count and a rating),
// the two alert events that switch the alert screens, and the settings of the log
// file and its archiving.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "console/settings/EntryIndex.h"
#include "console/settings/KindsAndRatings.h"
#include "console/settings/LocalTime.h"
#include "shared/Result.h"

class IStoreKey;

// Alert levels.
enum : std::int32_t { ALERT_LEVEL_ALL = 0, ALERT_LEVEL_CHOSEN_KIND = 1, ALERT_LEVEL_NONE = 2 };

// The two alert events, by index.
enum : int { EVENT_MAIL_PROTECTION = 0, EVENT_WEB_PROTECTION = 1 };

class CLogEntryDetails {
 public:
  SRating rating;  // stored as "Rating"
  std::string strDateTime;
  SEntryKind kind;  // the list entry's, stored as "Type"
  std::string strProtocol;
  std::string strProgram;
  std::string strHostIP;
  std::string strActionTaken;
  std::string strStrictedData;
  std::int32_t nCount = 1;
};

class CEventAlert {
 public:
  std::string strName;
  std::int32_t nShowAlert = 1;
};

class CAlertLogSettings {
 public:
  // The log file defaults to "CVHookwarden.log" in the application folder.
  explicit CAlertLogSettings(const std::string& strAppFolder = std::string(),
                             const SLocalTime& startTime = SLocalTime());

  // The alert log.

  // The first entry whose kind, Program, Protocol, HostIP, StrictedData and
  // ActionTaken equal the given entry's, ignoring case; -1 when there is none.
  int FindEqualEntry(const CLogEntryDetails& entry) const;
  // Index of the new entry.
  int AppendEntry(const CLogEntryDetails& entry);
  // Null when the index is outside 0 to count - 1. Reaching an entry for writing
  // makes the index and the rating tally be built again when next used, since
  // its fields may have changed; SetEntryCount and SetEntryRating keep them.
  CLogEntryDetails* EntryAt(int nIndex);
  const CLogEntryDetails* EntryAt(int nIndex) const;
  // Both ignore an index outside 0 to count - 1.
  void SetEntryCount(int nIndex, std::int32_t nCount);
  // Setting the rating an entry has already keeps the text it was stored as.
  void SetEntryRating(int nIndex, ERating eRating);
  int GetEntryCount() const { return static_cast<int>(m_entries.size()); }
  // The overview shows the count of entries rated High, in whichever language
  // their rating was stored.
  std::int32_t CountEntriesRated(ERating eRating) const;
  // Empties the log and releases its storage. Events and settings stay.
  void Clear();

  // The alert events: mail alerts (0) and web alerts (1).
  const std::vector<CEventAlert>& GetAlertEvents() const { return m_events; }
  std::int32_t GetShowAlert(int nEvent) const;
  std::int32_t GetCustomAlertChoice() const { return m_nCustomAlertChoice; }

  // 0 changes nothing; otherwise the step becomes n, kept in 16 bits without sign.
  void SetLogViewStep(std::int32_t nStep);
  std::uint16_t GetLogViewStep() const { return m_nLogViewStep; }
  // Level 0 shows both alert kinds, 1 the kind of the custom choice, 2 none; any
  // other level is kept and leaves the events alone.
  void SetAlertLevel(std::int32_t nLevel);
  std::int32_t GetAlertLevel() const { return m_nAlertLevel; }
  // From the alert display settings screen: mail flag also becomes the choice.
  void SetCustomAlertDisplay(std::int32_t nMailFlag, std::int32_t nWebFlag);

  // The log file and its archiving, replaced together by the log settings screen.
  void SetLogFileSettings(const std::string& strLogFilePath, std::int32_t nArchiveOn, std::uint8_t bArchivePeriod);
  const std::string& GetLogFilePath() const { return m_strLogFilePath; }
  std::int32_t GetArchiveOn() const { return m_nArchiveOn; }
  std::uint8_t GetArchivePeriod() const { return m_bArchivePeriod; }
  const SLocalTime& GetArchiveStartTime() const { return m_archiveStartTime; }
  void SetArchiveStartTime(const SLocalTime& time) { m_archiveStartTime = time; }

  // The subkey "AlertandLog" of the product key. Writing stops at the first value
  // the registry refused and returns its result.
  void ReadFromKey(IStoreKey& productKey);
  CResult WriteToKey(IStoreKey& productKey) const;

 private:
  friend struct SAlertLogStoredForm;  // its table names the stored members

  void ResetAlertEvents();
  void IndexEntry(int nIndex) const;
  void RebuildIfStale() const;
  void ClearIndex() const;
  std::int32_t& RatingTally(ERating eRating) const;

  std::string m_strLogFilePath;
  std::int32_t m_nAlertLevel = ALERT_LEVEL_ALL;
  std::uint8_t m_bArchivePeriod = 1;
  std::uint16_t m_nLogViewStep = 50;
  std::int32_t m_nArchiveOn = 1;
  SLocalTime m_archiveStartTime;
  std::int32_t m_nCustomAlertChoice = 1;
  std::vector<CEventAlert> m_events;
  std::deque<CLogEntryDetails> m_entries;  // references survive appends by nested requests
  // Beside the entries: the index of their compared fields and the number of
  // entries per rating, so that neither a find nor a recount walks the log.
  mutable CEntryIndex m_index;
  mutable std::int32_t m_anRatingTally[static_cast<int>(ERating::Unnamed) + 1] = {};
  mutable bool m_bStale = false;
};
