#include "console/settings/AlertLog.h"

#include "console/settings/TextCompare.h"

namespace {
bool IsSame(const std::string& strFirst, const std::string& strSecond) {
  return IsSameTextIgnoringCase(strFirst.c_str(), strSecond.c_str());
}
}  // namespace

CAlertLogSettings::CAlertLogSettings(const std::string& strAppFolder, const SLocalTime& startTime)
    : m_strLogFilePath(strAppFolder + "\\CVHookwarden.log"), m_archiveStartTime(startTime) {
  ResetAlertEvents();
}

void CAlertLogSettings::ResetAlertEvents() {
  m_events.assign(2, CEventAlert());
  m_events[EVENT_MAIL_PROTECTION].strName = "E-Mail Protection";
  m_events[EVENT_WEB_PROTECTION].strName = "Web Protection";
}

int CAlertLogSettings::FindEqualEntry(const CLogEntryDetails& entry) const {
  for (std::size_t i = 0; i < m_entries.size(); ++i) {
    const CLogEntryDetails& other = m_entries[i];
    if (IsSame(other.strType, entry.strType) && IsSame(other.strProgram, entry.strProgram) &&
        IsSame(other.strProtocol, entry.strProtocol) && IsSame(other.strHostIP, entry.strHostIP) &&
        IsSame(other.strStrictedData, entry.strStrictedData) && IsSame(other.strActionTaken, entry.strActionTaken)) {
      return static_cast<int>(i);
    }
  }
  return -1;
}

int CAlertLogSettings::AppendEntry(const CLogEntryDetails& entry) {
  m_entries.push_back(entry);
  return GetEntryCount() - 1;
}

CLogEntryDetails* CAlertLogSettings::EntryAt(int nIndex) {
  return nIndex >= 0 && nIndex < GetEntryCount() ? &m_entries[static_cast<std::size_t>(nIndex)] : nullptr;
}

const CLogEntryDetails* CAlertLogSettings::EntryAt(int nIndex) const {
  return nIndex >= 0 && nIndex < GetEntryCount() ? &m_entries[static_cast<std::size_t>(nIndex)] : nullptr;
}

std::int32_t CAlertLogSettings::CountEntriesRated(const char* szRating) const {
  std::int32_t nCount = 0;
  for (const CLogEntryDetails& entry : m_entries) {
    if (IsSameTextIgnoringCase(entry.strRating.c_str(), szRating)) ++nCount;
  }
  return nCount;
}

void CAlertLogSettings::Clear() {
  std::deque<CLogEntryDetails>().swap(m_entries);
}

std::int32_t CAlertLogSettings::GetShowAlert(int nEvent) const {
  return nEvent >= 0 && nEvent < static_cast<int>(m_events.size())
             ? m_events[static_cast<std::size_t>(nEvent)].nShowAlert
             : 0;
}

void CAlertLogSettings::SetLogViewStep(std::int32_t nStep) {
  if (nStep == 0) return;
  m_nLogViewStep = static_cast<std::uint16_t>(nStep);
}

void CAlertLogSettings::SetAlertLevel(std::int32_t nLevel) {
  m_nAlertLevel = nLevel;
  switch (nLevel) {
    case ALERT_LEVEL_ALL:
      m_events[EVENT_MAIL_PROTECTION].nShowAlert = 1;
      m_events[EVENT_WEB_PROTECTION].nShowAlert = 1;
      break;
    case ALERT_LEVEL_CHOSEN_KIND:
      m_events[EVENT_MAIL_PROTECTION].nShowAlert = m_nCustomAlertChoice;
      m_events[EVENT_WEB_PROTECTION].nShowAlert = m_nCustomAlertChoice == 0 ? 1 : 0;
      break;
    case ALERT_LEVEL_NONE:
      m_events[EVENT_MAIL_PROTECTION].nShowAlert = 0;
      m_events[EVENT_WEB_PROTECTION].nShowAlert = 0;
      break;
    default:
      break;
  }
}

void CAlertLogSettings::SetCustomAlertDisplay(std::int32_t nMailFlag, std::int32_t nWebFlag) {
  m_nCustomAlertChoice = nMailFlag;
  m_events[EVENT_MAIL_PROTECTION].nShowAlert = nMailFlag;
  m_events[EVENT_WEB_PROTECTION].nShowAlert = nWebFlag;
}

void CAlertLogSettings::SetLogFileSettings(const std::string& strLogFilePath, std::int32_t nArchiveOn,
                                           std::uint8_t bArchivePeriod) {
  m_strLogFilePath = strLogFilePath;
  m_nArchiveOn = nArchiveOn;
  m_bArchivePeriod = bArchivePeriod;
}
