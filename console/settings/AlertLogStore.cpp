// Registry form of the alert log and its settings, subkey "AlertandLog" of the
// product key: "LogEntryDetails%d" subkeys with their count
// "AlertLogEntryDetailsListNo", "EventAlert0" and "EventAlert1" with "ShowAlert",
// and the log file settings.
#include <memory>

#include "console/settings/AlertLog.h"
#include "console/settings/StoreKey.h"

namespace {

const char ALERT_KEY[] = "AlertandLog";
const char ENTRY_PREFIX[] = "LogEntryDetails";
const char ENTRY_COUNT[] = "AlertLogEntryDetailsListNo";
const char EVENT_PREFIX[] = "EventAlert";

void WriteEntry(IStoreKey& key, const CLogEntryDetails& entry) {
  WriteTextValue(key, "Rating", entry.strRating);
  WriteTextValue(key, "DateTime", entry.strDateTime);
  WriteTextValue(key, "Type", entry.strType);
  WriteTextValue(key, "Protocol", entry.strProtocol);
  WriteTextValue(key, "Program", entry.strProgram);
  WriteTextValue(key, "HostIP", entry.strHostIP);
  WriteTextValue(key, "StrictedData", entry.strStrictedData);
  WriteTextValue(key, "ActionTaken", entry.strActionTaken);
  WriteNumberValue(key, "Count", entry.nCount);
}

void ReadEntry(IStoreKey& key, CLogEntryDetails* pEntry) {
  ReadTextValue(key, "Rating", &pEntry->strRating);
  ReadTextValue(key, "DateTime", &pEntry->strDateTime);
  ReadTextValue(key, "Type", &pEntry->strType);
  ReadTextValue(key, "Protocol", &pEntry->strProtocol);
  ReadTextValue(key, "Program", &pEntry->strProgram);
  ReadTextValue(key, "HostIP", &pEntry->strHostIP);
  ReadTextValue(key, "StrictedData", &pEntry->strStrictedData);
  ReadTextValue(key, "ActionTaken", &pEntry->strActionTaken);
  ReadCopiedValue(key, "Count", &pEntry->nCount);
}

}  // namespace

void CAlertLogSettings::ReadFromKey(IStoreKey& productKey) {
  std::unique_ptr<IStoreKey> key = productKey.OpenSubKey(ALERT_KEY);
  if (key) {
    Clear();
    std::int32_t nCount = 0;
    ReadCopiedValue(*key, ENTRY_COUNT, &nCount);
    // Gaps in the numbering close up.
    for (int i : NumberedSubKeys(*key, ENTRY_PREFIX, nCount)) {
      std::unique_ptr<IStoreKey> entryKey = key->OpenSubKey(NumberedName(ENTRY_PREFIX, i).c_str());
      if (!entryKey) continue;
      CLogEntryDetails entry;
      ReadEntry(*entryKey, &entry);
      AppendEntry(entry);
    }

    ReadTextValue(*key, "LogFilePath", &m_strLogFilePath);
    ReadLowByteValue(*key, "AlertEventsLevel", &m_nAlertLevel);
    ReadByteValue(*key, "ArchiveLogPeriodicDays", &m_bArchivePeriod);
    // The step is written in two bytes and read back in two, so steps above 255
    // survive a restart.
    unsigned char abStep[2];
    abStep[0] = static_cast<unsigned char>(static_cast<std::uint16_t>(m_nLogViewStep));
    abStep[1] = static_cast<unsigned char>(static_cast<std::uint16_t>(m_nLogViewStep) >> 8);
    if (ReadBytesValue(*key, "NoAlertView", abStep, sizeof(abStep))) {
      m_nLogViewStep = static_cast<std::int16_t>(static_cast<std::uint16_t>(abStep[0] | abStep[1] << 8));
    }
    ReadLowByteValue(*key, "ArchiveLogFile", &m_nArchiveOn);
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
    std::unique_ptr<IStoreKey> eventKey = key->OpenSubKey(NumberedName(EVENT_PREFIX, j).c_str());
    if (eventKey && ReadLowByteValue(*eventKey, "ShowAlert", &m_events[static_cast<std::size_t>(j)].nShowAlert)) {
      m_nCustomAlertChoice = m_events[static_cast<std::size_t>(j)].nShowAlert == 0 ? 1 : 0;
    }
  }
}

void CAlertLogSettings::WriteToKey(IStoreKey& productKey) const {
  std::unique_ptr<IStoreKey> key = productKey.CreateSubKey(ALERT_KEY);
  if (!key) return;
  for (int i = 0; i < GetEntryCount(); ++i) {
    std::unique_ptr<IStoreKey> entryKey = key->CreateSubKey(NumberedName(ENTRY_PREFIX, i).c_str());
    if (entryKey) WriteEntry(*entryKey, *EntryAt(i));
  }
  WriteNumberValue(*key, ENTRY_COUNT, GetEntryCount());
  for (int j = 0; j < static_cast<int>(m_events.size()); ++j) {
    std::unique_ptr<IStoreKey> eventKey = key->CreateSubKey(NumberedName(EVENT_PREFIX, j).c_str());
    if (eventKey) WriteNumberValue(*eventKey, "ShowAlert", m_events[static_cast<std::size_t>(j)].nShowAlert);
  }
  WriteTextValue(*key, "LogFilePath", m_strLogFilePath);
  WriteNumberValue(*key, "AlertEventsLevel", m_nAlertLevel);
  WriteBytesValue(*key, "ArchiveLogPeriodicDays", &m_bArchivePeriod, 1);
  const auto wStep = static_cast<std::uint16_t>(m_nLogViewStep);
  const unsigned char abStep[2] = {static_cast<unsigned char>(wStep), static_cast<unsigned char>(wStep >> 8)};
  WriteBytesValue(*key, "NoAlertView", abStep, sizeof(abStep));
  WriteNumberValue(*key, "ArchiveLogFile", m_nArchiveOn);
  unsigned char abTime[LOCAL_TIME_BYTES];
  StoreLocalTime(m_archiveStartTime, abTime);
  WriteBytesValue(*key, "ArchiveLogFileStartTime", abTime, sizeof(abTime));
}
