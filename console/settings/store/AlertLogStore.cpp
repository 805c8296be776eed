// Registry form of the alert log and its settings, subkey "AlertandLog" of the
// product key: "LogEntryDetails%d" subkeys with their count
// "AlertLogEntryDetailsListNo", "EventAlert0" and "EventAlert1" with "ShowAlert",
// and the log file settings. Writing stops at the first value the registry refuses.
#include <memory>

#include "console/settings/AlertLog.h"
#include "console/settings/store/StoreKey.h"
#include "console/settings/store/StoredFields.h"

namespace {

const char ALERT_KEY[] = "AlertandLog";
const char ENTRY_PREFIX[] = "LogEntryDetails";
const char ENTRY_COUNT[] = "AlertLogEntryDetailsListNo";
const char EVENT_PREFIX[] = "EventAlert";

using CEntry = CLogEntryDetails;
const SStoredField<CEntry> kEntryFields[] = {
    StoredRating("Rating", &CEntry::rating),
    StoredText("DateTime", &CEntry::strDateTime),
    StoredKind("Type", &CEntry::kind),
    StoredText("Protocol", &CEntry::strProtocol),
    StoredText("Program", &CEntry::strProgram),
    StoredText("HostIP", &CEntry::strHostIP),
    StoredText("StrictedData", &CEntry::strStrictedData),
    StoredText("ActionTaken", &CEntry::strActionTaken),
    StoredNumber("Count", &CEntry::nCount),
};

const SStoredField<CEventAlert> kEventFields[] = {
    StoredNumber("ShowAlert", &CEventAlert::nShowAlert, EStoredForm::Flag),
};

}  // namespace

// The log's own values, written after its entries and events.
struct SAlertLogStoredForm {
  using CLog = CAlertLogSettings;
  static constexpr SStoredField<CLog> kFields[] = {
      StoredText("LogFilePath", &CLog::m_strLogFilePath),
      StoredNumber("AlertEventsLevel", &CLog::m_nAlertLevel, EStoredForm::Flag),
      StoredByte("ArchiveLogPeriodicDays", &CLog::m_bArchivePeriod),
      // Two bytes both ways, so that steps above 255 survive a restart.
      StoredWord("NoAlertView", &CLog::m_nLogViewStep),
      StoredNumber("ArchiveLogFile", &CLog::m_nArchiveOn, EStoredForm::Flag),
      StoredTime("ArchiveLogFileStartTime", &CLog::m_archiveStartTime),
  };
};

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
      ReadStoredFields(*entryKey, kEntryFields, &entry);
      AppendEntry(entry);
    }
    ReadStoredFields(*key, SAlertLogStoredForm::kFields, this);
  }

  // The events are rebuilt with their defaults on every read; the custom choice
  // follows the last stored flag, that of the web event.
  ResetAlertEvents();
  if (!key) return;
  for (int j = 0; j < static_cast<int>(m_events.size()); ++j) {
    CEventAlert& event = m_events[static_cast<std::size_t>(j)];
    std::unique_ptr<IStoreKey> eventKey = key->OpenSubKey(NumberedName(EVENT_PREFIX, j).c_str());
    if (eventKey && ReadStoredFields(*eventKey, kEventFields, &event) > 0) {
      m_nCustomAlertChoice = event.nShowAlert == 0 ? 1 : 0;
    }
  }
}

CResult CAlertLogSettings::WriteToKey(IStoreKey& productKey) const {
  std::unique_ptr<IStoreKey> key;
  CResult result = productKey.CreateKey(ALERT_KEY, &key);
  for (int i = 0; result.IsOk() && i < GetEntryCount(); ++i) {
    std::unique_ptr<IStoreKey> entryKey;
    result = key->CreateKey(NumberedName(ENTRY_PREFIX, i).c_str(), &entryKey);
    if (result.IsOk()) result = WriteStoredFields(*entryKey, kEntryFields, *EntryAt(i));
  }
  if (result.IsOk()) result = WriteStoredNumber(*key, ENTRY_COUNT, GetEntryCount());
  for (std::size_t j = 0; result.IsOk() && j < m_events.size(); ++j) {
    std::unique_ptr<IStoreKey> eventKey;
    result = key->CreateKey(NumberedName(EVENT_PREFIX, static_cast<int>(j)).c_str(), &eventKey);
    if (result.IsOk()) result = WriteStoredFields(*eventKey, kEventFields, m_events[j]);
  }
  if (result.IsOk()) result = WriteStoredFields(*key, SAlertLogStoredForm::kFields, *this);
  return result;
}
