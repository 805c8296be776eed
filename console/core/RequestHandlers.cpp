#include "console/core/RequestHandlers.h"

#include <cstdio>
#include <limits>
#include <utility>

#include "console/ConsoleResources.h"
#include "console/settings/LogArchive.h"

namespace {

constexpr std::int32_t kHighRatingAfter = 10;  // "High" from the 11th occurrence on
constexpr std::int32_t kProtectionOff = 0;

// Counters stop at their largest value rather than overflow.
void CountOne(std::int32_t& nCounter) {
  if (nCounter < std::numeric_limits<std::int32_t>::max()) ++nCounter;
}

int FindEntry(const CWebSiteBlockingList& list, const SWebRequest& request) {
  return list.FindWebEntry(request);
}
int FindEntry(const CMailSafeList& list, const SMailRequest& request) {
  return list.FindMailEntry(request);
}

// The host address in the log: a web entry's own, a mail request's sender's.
const std::string& LoggedHostIP(const CWebSiteItem& entry, const SWebRequest&) {
  return entry.strIPAddress;
}
const std::string& LoggedHostIP(const CMailSafeItem&, const SMailRequest& request) {
  return request.source.strHostIP;
}

}  // namespace

std::string DateTimeText(const SLocalTime& time) {
  char szTime[40] = {};
  std::snprintf(szTime, sizeof(szTime), " %02u, %04u %02u:%02u:%02u", static_cast<unsigned>(time.wDay),
                static_cast<unsigned>(time.wYear), static_cast<unsigned>(time.wHour),
                static_cast<unsigned>(time.wMinute), static_cast<unsigned>(time.wSecond));
  return std::string(EnglishDayName(time.wDayOfWeek)) + ", " + EnglishMonthName(time.wMonth) + szTime;
}

CRequestHandlers::SDecision CRequestHandlers::Decide(std::int32_t nListPermission, std::int32_t nEntryAction,
                                                     int nAlertEvent, std::int32_t& nAskCounter, SAlertFields& fields) {
  SDecision decision;
  // A stored permission outside 0 to 2 goes on to the entry, and an Action outside
  // them asks: the user decides rather than a value nobody chose.
  std::int32_t nPermission =
      nListPermission == PERMISSION_ALLOW || nListPermission == PERMISSION_BLOCK ? nListPermission : nEntryAction;
  const bool bBlockOnly = m_state.pPolicies && m_state.pPolicies->IsOn(EPolicy::BlockOnly);
  const bool bNeverAsk = m_state.pPolicies && m_state.pPolicies->IsOn(EPolicy::BlockWithoutAsking);
  if (nPermission != PERMISSION_ALLOW && nPermission != PERMISSION_BLOCK) {
    CountOne(nAskCounter);
    // With the alert kind not shown, the answer is Block and nothing is remembered.
    fields.nRememberAnswer = 0;
    const bool bShown = m_state.alertLog.GetShowAlert(nAlertEvent) != 0 && !bNeverAsk;
    if (bShown && bBlockOnly) {
      fields.nBlockOnly = 1;
      fields.strToolTip += "\n" + m_services.LocalText(IDS_ALERT_BLOCK_ONLY);
    }
    const int nResult = bShown ? m_services.RunAlert(fields) : SCREEN_RESULT_CANCEL;
    nPermission = nResult == SCREEN_RESULT_OK ? PERMISSION_ALLOW : PERMISSION_BLOCK;
    // An Allow the administrator forbids is not the user's to remember.
    if (fields.nRememberAnswer == 1 && !(bBlockOnly && nPermission == PERMISSION_ALLOW)) {
      decision.nRemembered = nPermission;
    }
    decision.bAsked = bShown;
    decision.eBlockReason = bNeverAsk ? EBlockReason::Policy : EBlockReason::AlertNotShown;
  } else if (nPermission != nListPermission) {
    decision.eBlockReason = EBlockReason::EntryPermission;
  }
  if (bBlockOnly && nPermission == PERMISSION_ALLOW) {
    nPermission = PERMISSION_BLOCK;
    if (!decision.bAsked) decision.eBlockReason = EBlockReason::Policy;
  }
  if (nPermission == PERMISSION_ALLOW) {
    decision.nVerdict = VERDICT_ALLOW;
    decision.strAction = "Allow";
  } else {
    decision.nVerdict = VERDICT_BLOCK;
    decision.strAction = "Block";
    CountOne(m_state.nNoOfBlockedInstructions);
  }
  return decision;
}

int CRequestHandlers::HandleWebRequest(const SWebRequest& request) {
  return HandleRequest(m_state.webSiteBlockingList, request,
                       SChannel{EVENT_WEB_PROTECTION, m_state.nNoOfWebProtection, &IMainWindowNotifications::AddSiteRow,
                                &IMainWindowNotifications::RefreshSiteRow});
}

int CRequestHandlers::HandleMailRequest(const SMailRequest& request) {
  return HandleRequest(m_state.mailSafeList, request,
                       SChannel{EVENT_MAIL_PROTECTION, m_state.nNoOfEmailProtection,
                                &IMainWindowNotifications::AddMailRow, &IMainWindowNotifications::RefreshMailRow});
}

template <class TList, class TRequest>
int CRequestHandlers::HandleRequest(TList& list, const TRequest& request, const SChannel& channel) {
  int nIndex = FindEntry(list, request);
  if (nIndex < 0) {
    nIndex = list.AppendEntry(NewEntry(request));
    // The main window addresses entries by their row: every entry gets its row,
    // whatever the protection, before an alert lets further requests append
    // theirs. A remembered answer refreshes it.
    (m_mainWindow.*channel.addRow)(nIndex);
  }

  // A copy: while the alert is open further requests append to the list and the
  // main window may remove entries.
  const auto entry = *std::as_const(list).EntryAt(nIndex);
  SDecision decision;
  if (list.GetProtectionState() != kProtectionOff) {
    SAlertFields fields = AlertFields(entry, request);
    decision = Decide(list.GetPermission(), entry.nAction, channel.nAlertEvent, channel.nAskCounter, fields);
    if (decision.nRemembered >= 0) Remember(list, request, entry, decision.nRemembered, channel);
    WriteDecisionEvent(entry, decision);
  }

  CLogEntryDetails logEntry;
  logEntry.kind = entry.kind;
  logEntry.strProtocol = PortProtocolName(entry.nPort);
  logEntry.strProgram = entry.strProgram;
  logEntry.strHostIP = LoggedHostIP(entry, request);
  logEntry.strActionTaken = decision.strAction;
  logEntry.strStrictedData = entry.strStrictedData;
  RecordInLog(logEntry);
  PushOverview();
  return decision.nVerdict;
}

template <class TList, class TRequest, class TEntry>
void CRequestHandlers::Remember(TList& list, const TRequest& request, TEntry entry, std::int32_t nAction,
                                const SChannel& channel) {
  // While the alert was open the main window may have removed entries: the index
  // found before it may name another entry now. The entry is found again by what
  // it is; one removed meanwhile comes back, since the user asked to remember it.
  const int nIndex = FindEntry(list, request);
  if (nIndex < 0) {
    entry.nAction = nAction;
    (m_mainWindow.*channel.addRow)(list.AppendEntry(entry));
    return;
  }
  list.SetAction(nIndex, nAction);
  (m_mainWindow.*channel.refreshRow)(nIndex);
}

CWebSiteItem CRequestHandlers::NewEntry(const SWebRequest& request) {
  CWebSiteItem item;
  item.nAction = PERMISSION_ASK;
  item.nPort = request.source.nPort;
  item.strProgram = request.source.strProgram;
  item.kind = EntryKindOf(request.eKind);
  item.strStrictedData = WebRestrictedText(request);
  item.strScamSite = item.strStrictedData;
  item.strIPAddress = request.source.strHostIP;
  item.strDataTime = DateTimeText(m_services.LocalTimeNow());
  return item;
}

CMailSafeItem CRequestHandlers::NewEntry(const SMailRequest& request) {
  CMailSafeItem item;
  item.nAction = PERMISSION_ASK;
  item.nPort = request.source.nPort;
  item.strProgram = request.source.strProgram;
  item.kind = EntryKindOf(request.eKind);
  item.strStrictedData = MailRestrictedText(request);
  item.strDataTime = request.strDate;
  item.strFrom = request.strFrom;
  item.strTo = request.strTo;
  item.strSubject = request.strSubject;
  item.strAttachmentFile = request.strAttachment;
  return item;
}

namespace {

// What an alert shows of a web or mail entry alike.
template <typename TEntry>
SAlertFields EntryAlertFields(std::int32_t nAlertKind, const TEntry& entry) {
  SAlertFields fields;
  fields.nAlertKind = nAlertKind;
  fields.strStrictedData = entry.strStrictedData;
  fields.strMatchType = EntryKindText(entry.kind);
  fields.strApplication = entry.strProgram;
  fields.strProtocol = PortProtocolName(entry.nPort);
  return fields;
}

}  // namespace

SAlertFields CRequestHandlers::AlertFields(const CWebSiteItem& entry, const SWebRequest& request) {
  SAlertFields fields = EntryAlertFields(ALERT_KIND_WEB, entry);
  fields.strDateTime = DateTimeText(m_services.LocalTimeNow());
  fields.strIPAddress = entry.strIPAddress;
  fields.strScamSite = entry.strScamSite;
  const unsigned nTipId = request.eKind == EWebKind::HostIP ? IDS_ALERT_HOST_IP : IDS_ALERT_URL;
  fields.strToolTip = FillAlertToolTip(m_services.LocalText(nTipId), entry.strStrictedData);
  return fields;
}

SAlertFields CRequestHandlers::AlertFields(const CMailSafeItem& entry, const SMailRequest& request) {
  SAlertFields fields = EntryAlertFields(ALERT_KIND_MAIL, entry);
  fields.strDateTime = request.strDate;
  fields.strIPAddress = request.source.strHostIP;
  fields.strFrom = entry.strFrom;
  fields.strTo = entry.strTo;
  fields.strSubject = entry.strSubject;
  fields.strAttachment = request.strAttachment;
  fields.strExtraText = request.strText;
  fields.strToolTip = m_services.LocalText(IDS_ALERT_MAIL);
  return fields;
}

namespace {

SWebEventFacts EventFacts(const CWebSiteItem& entry) {
  return SWebEventFacts{EntryKindText(entry.kind), entry.strStrictedData, entry.strIPAddress, entry.strProgram};
}
SMailEventFacts EventFacts(const CMailSafeItem& entry) {
  return SMailEventFacts{EntryKindText(entry.kind), entry.strFrom, entry.strTo, entry.strSubject, entry.strProgram};
}

}  // namespace

template <class TEntry>
void CRequestHandlers::WriteDecisionEvent(const TEntry& entry, const SDecision& decision) {
  const bool bAllowed = decision.nVerdict == VERDICT_ALLOW;
  if (decision.bAsked) {
    m_services.WriteEvent(AlertAnsweredEvent(EventFacts(entry), bAllowed, decision.nRemembered >= 0));
  } else if (!bAllowed) {
    m_services.WriteEvent(BlockedEvent(EventFacts(entry), decision.eBlockReason));
  }
}

void CRequestHandlers::RecordInLog(CLogEntryDetails entry) {
  CAlertLogSettings& log = m_state.alertLog;
  entry.rating = ERating::Medium;
  entry.strDateTime = DateTimeText(m_services.LocalTimeNow());
  entry.nCount = 1;
  const int nEqual = log.FindEqualEntry(entry);
  if (nEqual < 0) {
    m_mainWindow.AddLogRow(log.AppendEntry(entry));
    return;
  }
  std::int32_t nCount = std::as_const(log).EntryAt(nEqual)->nCount;
  CountOne(nCount);
  log.SetEntryCount(nEqual, nCount);
  if (nCount > kHighRatingAfter) log.SetEntryRating(nEqual, ERating::High);
  m_mainWindow.RefreshLogRow(nEqual);
}

void CRequestHandlers::PushOverview() {
  // Recounted here as well, so the count is right while no main window listens.
  m_state.nNoOfBlockedInstructionsHaveHighRating = m_state.alertLog.CountEntriesRated(ERating::High);
  m_mainWindow.PushOverview();
  // Every request changes a counter or the log at least.
  m_mainWindow.SettingsChanged();
}
