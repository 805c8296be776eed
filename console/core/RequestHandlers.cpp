#include "console/core/RequestHandlers.h"

#include <cstdio>
#include <cstring>
#include <limits>
#include <utility>

#include "console/ConsoleResources.h"
#include "console/settings/LogArchive.h"
#include "shared/BoundedCopy.h"

namespace {

constexpr std::int32_t kHighRatingAfter = 10;  // "High" from the 11th occurrence on
constexpr std::int32_t kProtectionOff = 0;

// Counters stop at their largest value rather than overflow.
void CountOne(std::int32_t& nCounter) {
  if (nCounter < std::numeric_limits<std::int32_t>::max()) ++nCounter;
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
  if (nPermission != PERMISSION_ALLOW && nPermission != PERMISSION_BLOCK) {
    CountOne(nAskCounter);
    // With the alert kind not shown, the answer is Block and nothing is remembered.
    fields.nRememberAnswer = 0;
    const bool bShown = m_state.alertLog.GetShowAlert(nAlertEvent) != 0;
    const int nResult = bShown ? m_services.RunAlert(fields) : SCREEN_RESULT_CANCEL;
    nPermission = nResult == SCREEN_RESULT_OK ? PERMISSION_ALLOW : PERMISSION_BLOCK;
    if (fields.nRememberAnswer == 1) decision.nRemembered = nPermission;
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

int CRequestHandlers::HandleWebRequest(const EngineRequest& request) {
  CWebSiteBlockingList& list = m_state.webSiteBlockingList;
  const std::string strHostIP = FieldText(request.szHostIP);
  int nIndex = list.FindWebEntry(request);
  if (nIndex < 0) {
    CWebSiteItem item;
    item.nAction = PERMISSION_ASK;
    item.nPort = RequestPort(request);
    item.strProgram = FieldText(request.szProcessName);
    item.strType = WebKindName(request);
    item.strStrictedData = WebRestrictedText(request);
    item.strScamSite = item.strStrictedData;
    item.strIPAddress = strHostIP;
    item.strDataTime = DateTimeText(m_services.LocalTimeNow());
    nIndex = list.AppendEntry(item);
    // The main window addresses entries by their row: every entry gets its row,
    // whatever the protection, before an alert lets further requests append
    // theirs. A remembered answer refreshes it.
    m_mainWindow.AddSiteRow(nIndex);
  }

  // A copy: the alert may handle further requests, which append to the list.
  const CWebSiteItem entry = *std::as_const(list).EntryAt(nIndex);
  SDecision decision;
  if (list.GetProtectionState() != kProtectionOff) {
    SAlertFields fields;
    fields.nAlertKind = ALERT_KIND_WEB;
    fields.strStrictedData = entry.strStrictedData;
    fields.strMatchType = entry.strType;
    fields.strApplication = entry.strProgram;
    fields.strDateTime = DateTimeText(m_services.LocalTimeNow());
    fields.strProtocol = PortProtocolName(entry.nPort);
    fields.strIPAddress = entry.strIPAddress;
    fields.strScamSite = entry.strScamSite;
    const unsigned nTipId = request.web.cWebKind == KIND_HOST_IP ? IDS_ALERT_HOST_IP : IDS_ALERT_URL;
    fields.strToolTip = FillAlertToolTip(m_services.LocalText(nTipId), entry.strStrictedData);
    decision = Decide(list.GetPermission(), entry.nAction, EVENT_WEB_PROTECTION, m_state.nNoOfWebProtection, fields);
    if (decision.nRemembered >= 0) {
      list.SetAction(nIndex, decision.nRemembered);
      m_mainWindow.RefreshSiteRow(nIndex);
    }
  }

  CLogEntryDetails logEntry;
  logEntry.strType = entry.strType;
  logEntry.strProtocol = PortProtocolName(entry.nPort);
  logEntry.strProgram = entry.strProgram;
  logEntry.strHostIP = entry.strIPAddress;
  logEntry.strActionTaken = decision.strAction;
  logEntry.strStrictedData = entry.strStrictedData;
  RecordInLog(logEntry);
  PushOverview();
  return decision.nVerdict;
}

int CRequestHandlers::HandleMailRequest(const EngineRequest& request) {
  CMailSafeList& list = m_state.mailSafeList;
  const SMailRequestTail& mail = request.mail;
  int nIndex = list.FindMailEntry(request);
  if (nIndex < 0) {
    CMailSafeItem item;
    item.nAction = PERMISSION_ASK;
    item.nPort = RequestPort(request);
    item.strProgram = FieldText(request.szProcessName);
    item.strType = MailKindName(request);
    item.strStrictedData = MailRestrictedText(request);
    item.strDataTime = FieldText(mail.szDate);
    item.strFrom = FieldText(mail.szFrom);
    item.strTo = FieldText(mail.szTo);
    item.strSubject = FieldText(mail.szSubject);
    item.strAttachmentFile = FieldText(mail.szAttachment);
    nIndex = list.AppendEntry(item);
    m_mainWindow.AddMailRow(nIndex);  // at once, as for a site
  }

  // A copy: the alert may handle further requests, which append to the list.
  const CMailSafeItem entry = *std::as_const(list).EntryAt(nIndex);
  SDecision decision;
  if (list.GetProtectionState() != kProtectionOff) {
    SAlertFields fields;
    fields.nAlertKind = ALERT_KIND_MAIL;
    fields.strStrictedData = entry.strStrictedData;
    fields.strMatchType = entry.strType;
    fields.strApplication = entry.strProgram;
    fields.strDateTime = FieldText(mail.szDate);
    fields.strProtocol = PortProtocolName(entry.nPort);
    fields.strIPAddress = FieldText(request.szHostIP);
    fields.strFrom = entry.strFrom;
    fields.strTo = entry.strTo;
    fields.strSubject = entry.strSubject;
    fields.strAttachment = FieldText(mail.szAttachment);
    fields.strExtraText = FieldText(mail.szText);
    fields.strToolTip = m_services.LocalText(IDS_ALERT_MAIL);
    decision = Decide(list.GetPermission(), entry.nAction, EVENT_MAIL_PROTECTION, m_state.nNoOfEmailProtection, fields);
    if (decision.nRemembered >= 0) {
      list.SetAction(nIndex, decision.nRemembered);
      m_mainWindow.RefreshMailRow(nIndex);
    }
  }

  CLogEntryDetails logEntry;
  logEntry.strType = entry.strType;
  logEntry.strProtocol = PortProtocolName(entry.nPort);
  logEntry.strProgram = entry.strProgram;
  logEntry.strHostIP = FieldText(request.szHostIP);
  logEntry.strActionTaken = decision.strAction;
  logEntry.strStrictedData = entry.strStrictedData;
  RecordInLog(logEntry);
  PushOverview();
  return decision.nVerdict;
}

void CRequestHandlers::RecordInLog(CLogEntryDetails entry) {
  CAlertLogSettings& log = m_state.alertLog;
  entry.strRating = m_services.LocalText(IDS_RATING_MEDIUM);
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
  if (nCount > kHighRatingAfter) log.SetEntryRating(nEqual, m_services.LocalText(IDS_RATING_HIGH));
  m_mainWindow.RefreshLogRow(nEqual);
}

void CRequestHandlers::PushOverview() {
  // Recounted here as well, so the count is right while no main window listens.
  m_state.nNoOfBlockedInstructionsHaveHighRating =
      m_state.alertLog.CountEntriesRated(m_services.LocalText(IDS_RATING_HIGH).c_str());
  m_mainWindow.PushOverview();
  // Every request changes a counter or the log at least.
  m_mainWindow.SettingsChanged();
}
