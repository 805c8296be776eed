#include "console/settings/AlertLog.h"

#include <algorithm>
#include <iterator>

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

namespace {

std::size_t EqualityKey(const CLogEntryDetails& entry) {
  return CEntryKey()
      .AddKind(entry.kind)
      .AddText(entry.strProgram)
      .AddText(entry.strProtocol)
      .AddText(entry.strHostIP)
      .AddText(entry.strStrictedData)
      .AddText(entry.strActionTaken)
      .Hash();
}

}  // namespace

void CAlertLogSettings::IndexEntry(int nIndex) const {
  const CLogEntryDetails& entry = m_entries[static_cast<std::size_t>(nIndex)];
  m_index.Add(EqualityKey(entry), nIndex);
  ++RatingTally(entry.rating.eValue);
}

void CAlertLogSettings::RebuildIfStale() const {
  if (!m_bStale) return;
  ClearIndex();
  for (int i = 0; i < GetEntryCount(); ++i) IndexEntry(i);
}

int CAlertLogSettings::FindEqualEntry(const CLogEntryDetails& entry) const {
  RebuildIfStale();
  return m_index.FindFirst(EqualityKey(entry), [&](int i) {
    const CLogEntryDetails& other = m_entries[static_cast<std::size_t>(i)];
    return IsSameKind(other.kind, entry.kind) && IsSame(other.strProgram, entry.strProgram) &&
           IsSame(other.strProtocol, entry.strProtocol) && IsSame(other.strHostIP, entry.strHostIP) &&
           IsSame(other.strStrictedData, entry.strStrictedData) && IsSame(other.strActionTaken, entry.strActionTaken);
  });
}

int CAlertLogSettings::AppendEntry(const CLogEntryDetails& entry) {
  m_entries.push_back(entry);
  const int nIndex = GetEntryCount() - 1;
  if (!m_bStale) IndexEntry(nIndex);
  return nIndex;
}

CLogEntryDetails* CAlertLogSettings::EntryAt(int nIndex) {
  if (nIndex < 0 || nIndex >= GetEntryCount()) return nullptr;
  m_bStale = true;
  return &m_entries[static_cast<std::size_t>(nIndex)];
}

const CLogEntryDetails* CAlertLogSettings::EntryAt(int nIndex) const {
  return nIndex >= 0 && nIndex < GetEntryCount() ? &m_entries[static_cast<std::size_t>(nIndex)] : nullptr;
}

void CAlertLogSettings::SetEntryCount(int nIndex, std::int32_t nCount) {
  if (nIndex >= 0 && nIndex < GetEntryCount()) m_entries[static_cast<std::size_t>(nIndex)].nCount = nCount;
}

void CAlertLogSettings::SetEntryRating(int nIndex, ERating eRating) {
  if (nIndex < 0 || nIndex >= GetEntryCount()) return;
  SRating& old = m_entries[static_cast<std::size_t>(nIndex)].rating;
  if (old == eRating) return;
  if (!m_bStale) {
    --RatingTally(old.eValue);
    ++RatingTally(eRating);
  }
  old = eRating;
}

std::int32_t CAlertLogSettings::CountEntriesRated(ERating eRating) const {
  RebuildIfStale();
  return RatingTally(eRating);
}

void CAlertLogSettings::ClearIndex() const {
  m_index.Clear();
  std::fill(std::begin(m_anRatingTally), std::end(m_anRatingTally), 0);
  m_bStale = false;
}

std::int32_t& CAlertLogSettings::RatingTally(ERating eRating) const {
  return m_anRatingTally[static_cast<std::size_t>(eRating)];
}

void CAlertLogSettings::Clear() {
  std::deque<CLogEntryDetails>().swap(m_entries);
  ClearIndex();
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
