// Registry form of the alert log and its settings, subkey "AlertandLog" of the
// product key: "LogEntryDetails%d" subkeys with their count
// "AlertLogEntryDetailsListNo", "EventAlert0" and "EventAlert1" with "ShowAlert",
// and the log file settings. Writing stops at the first value the registry refuses.
#include <memory>

#include "console/settings/AlertLog.h"
#include "console/settings/store/StoreKey.h"

namespace {

const char ALERT_KEY[] = "AlertandLog";
const char ENTRY_PREFIX[] = "LogEntryDetails";
const char ENTRY_COUNT[] = "AlertLogEntryDetailsListNo";
const char EVENT_PREFIX[] = "EventAlert";

bool WriteEntry(IStoreKey& key, const CLogEntryDetails& entry) {
  return WriteStoredText(key, "Rating", entry.strRating) && WriteStoredText(key, "DateTime", entry.strDateTime) &&
         WriteStoredText(key, "Type", entry.strType) && WriteStoredText(key, "Protocol", entry.strProtocol) &&
         WriteStoredText(key, "Program", entry.strProgram) && WriteStoredText(key, "HostIP", entry.strHostIP) &&
         WriteStoredText(key, "StrictedData", entry.strStrictedData) &&
         WriteStoredText(key, "ActionTaken", entry.strActionTaken) && WriteStoredNumber(key, "Count", entry.nCount);
}

void ReadEntry(IStoreKey& key, CLogEntryDetails* pEntry) {
  ReadStoredText(key, "Rating", &pEntry->strRating);
  ReadStoredText(key, "DateTime", &pEntry->strDateTime);
  ReadStoredText(key, "Type", &pEntry->strType);
  ReadStoredText(key, "Protocol", &pEntry->strProtocol);
  ReadStoredText(key, "Program", &pEntry->strProgram);
  ReadStoredText(key, "HostIP", &pEntry->strHostIP);
  ReadStoredText(key, "StrictedData", &pEntry->strStrictedData);
  ReadStoredText(key, "ActionTaken", &pEntry->strActionTaken);
  ReadStoredCopied(key, "Count", &pEntry->nCount);
}

}  // namespace

void CAlertLogSettings::ReadFromKey(IStoreKey& productKey) {
  std::unique_ptr<IStoreKey> key = productKey.OpenSubKey(ALERT_KEY);
  if (key) {
    Clear();
    std::int32_t nCount = 0;
    ReadStoredCopied(*key, ENTRY_COUNT, &nCount);
    // Gaps in the numbering close up.
    for (int i : NumberedSubKeys(*key, ENTRY_PREFIX, nCount)) {
      std::unique_ptr<IStoreKey> entryKey = key->OpenSubKey(NumberedName(ENTRY_PREFIX, i).c_str());
      if (!entryKey) continue;
      CLogEntryDetails entry;
      ReadEntry(*entryKey, &entry);
      AppendEntry(entry);
    }

    ReadStoredText(*key, "LogFilePath", &m_strLogFilePath);
    ReadStoredLowByte(*key, "AlertEventsLevel", &m_nAlertLevel);
    ReadStoredByte(*key, "ArchiveLogPeriodicDays", &m_bArchivePeriod);
    // The step is written in two bytes and read back in two, so that steps above
    // 255 survive a restart.
    const std::uint16_t wStep = m_nLogViewStep;
    unsigned char abStep[2] = {static_cast<unsigned char>(wStep), static_cast<unsigned char>(wStep >> 8)};
    if (ReadStoredBytes(*key, "NoAlertView", abStep, sizeof(abStep))) {
      m_nLogViewStep = static_cast<std::uint16_t>(abStep[0] | abStep[1] << 8);
    }
    ReadStoredLowByte(*key, "ArchiveLogFile", &m_nArchiveOn);
    std::string strTime;
    if (key->ReadValue("ArchiveLogFileStartTime", &strTime)) {
      LoadLocalTime(reinterpret_cast<const unsigned char*>(strTime.data()), static_cast<unsigned>(strTime.size()),
                    &m_archiveStartTime);
    }
  }

  // The events are rebuilt with their defaults on every read; the custom choice
  // follows the last stored flag, that of the web event.
  ResetAlertEvents();
  if (!key) return;
  for (int j = 0; j < static_cast<int>(m_events.size()); ++j) {
    CEventAlert& event = m_events[static_cast<std::size_t>(j)];
    std::unique_ptr<IStoreKey> eventKey = key->OpenSubKey(NumberedName(EVENT_PREFIX, j).c_str());
    if (eventKey && ReadStoredLowByte(*eventKey, "ShowAlert", &event.nShowAlert)) {
      m_nCustomAlertChoice = event.nShowAlert == 0 ? 1 : 0;
    }
  }
}

bool CAlertLogSettings::WriteToKey(IStoreKey& productKey) const {
  std::unique_ptr<IStoreKey> key = productKey.CreateSubKey(ALERT_KEY);
  if (!key) return false;
  for (int i = 0; i < GetEntryCount(); ++i) {
    std::unique_ptr<IStoreKey> entryKey = key->CreateSubKey(NumberedName(ENTRY_PREFIX, i).c_str());
    if (!entryKey || !WriteEntry(*entryKey, *EntryAt(i))) return false;
  }
  if (!WriteStoredNumber(*key, ENTRY_COUNT, GetEntryCount())) return false;
  for (int j = 0; j < static_cast<int>(m_events.size()); ++j) {
    std::unique_ptr<IStoreKey> eventKey = key->CreateSubKey(NumberedName(EVENT_PREFIX, j).c_str());
    if (!eventKey || !WriteStoredNumber(*eventKey, "ShowAlert", m_events[static_cast<std::size_t>(j)].nShowAlert)) {
      return false;
    }
  }
  const std::uint16_t wStep = m_nLogViewStep;
  const unsigned char abStep[2] = {static_cast<unsigned char>(wStep), static_cast<unsigned char>(wStep >> 8)};
  unsigned char abTime[LOCAL_TIME_BYTES];
  StoreLocalTime(m_archiveStartTime, abTime);
  return WriteStoredText(*key, "LogFilePath", m_strLogFilePath) &&
         WriteStoredNumber(*key, "AlertEventsLevel", m_nAlertLevel) &&
         WriteStoredBytes(*key, "ArchiveLogPeriodicDays", &m_bArchivePeriod, 1) &&
         WriteStoredBytes(*key, "NoAlertView", abStep, sizeof(abStep)) &&
         WriteStoredNumber(*key, "ArchiveLogFile", m_nArchiveOn) &&
         WriteStoredBytes(*key, "ArchiveLogFileStartTime", abTime, sizeof(abTime));
}
