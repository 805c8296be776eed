#include "console/screens/MainScreen.h"

#include <utility>

#include "console/ConsoleResources.h"
#include "console/screens/ScreenText.h"
#include "console/screens/SettingsScreens.h"

namespace {

const char kAdd[] = "Add";
const char kUpdate[] = "Update";
const char kMailOperation[] = "_root.strScamMailOperation";
const char kSiteOperation[] = "_root.strScamSiteOperation";
const char kLogOperation[] = "_root.strViewLogOperation";

// The movie's commands, in the order they are compared.
enum ECommand : int {
  CMD_DRAG,
  CMD_HELP,
  CMD_CLOSE,
  CMD_MINIMIZE,
  CMD_LOAD_WITH_STARTUP,
  CMD_LOAD_SPLASH,
  CMD_SET_PASSWORD,
  CMD_BACKUP,
  CMD_CHANGE_LANGUAGE,
  CMD_RESTORE,
  CMD_RESET,
  CMD_LIVE_UPDATE,
  CMD_LOGIN,
  CMD_MAIL_SETTINGS,
  CMD_SITE_SETTINGS,
  CMD_MAIL_ON,
  CMD_MAIL_OFF,
  CMD_SITE_ON,
  CMD_SITE_OFF,
  CMD_MAIL_NO_OPERATION,
  CMD_SITE_NO_OPERATION,
  CMD_SITE_DETAILS,
  CMD_MAIL_DETAILS,
  CMD_MAIL_ALLOW,
  CMD_MAIL_BLOCK,
  CMD_MAIL_ASK,
  CMD_SITE_ALLOW,
  CMD_SITE_BLOCK,
  CMD_SITE_ASK,
  CMD_MAIL_REMOVE_ALL,
  CMD_MAIL_REMOVE,
  CMD_SITE_REMOVE_ALL,
  CMD_SITE_REMOVE,
  CMD_LOG_NO_OPERATION,
  CMD_LOG_CLEAR,
  CMD_LOG_STEPPER,
  CMD_ALERT_LEVEL,
  CMD_LOG_SETTINGS,
  CMD_ALERT_DISPLAY,
  CMD_SUPPORT,
  CMD_WEB_GUARD,
  CMD_COUNT
};

const char* const kCommandNames[CMD_COUNT] = {
    "IDC_FS_DRAG",
    "IDC_FS_Help",
    "IDC_FS_CLOSE",
    "IDC_FS_MINIMIZE",
    "IDC_FS_LoadWithWStartUp",
    "IDC_FS_LoadSplashScreen",
    "IDC_FS_SetPassword",
    "IDC_FS_BackupSettings",
    "IDC_FS_CHANGE_LANGUAGE",
    "IDC_FS_RestoreSettings",
    "IDC_FS_Reset",
    "IDC_FS_RunLiveUpdate",
    "IDC_FS_Login",
    "IDC_FS_AdvancedMailSettings",
    "IDC_FS_AdvancedSiteBlockingSettings",
    "IDC_FS_MailProtectionOn",
    "IDC_FS_MailProtectionOff",
    "IDC_FS_SiteBlockingOn",
    "IDC_FS_SiteBlockingOff",
    "IDC_FS_MailScamList_NoOperation",
    "IDC_FS_SiteScamList_NoOperation",
    "IDC_FS_UpdateEntryDetailsWebListItem",
    "IDC_FS_UpdateEntryDetailsMailListItem",
    "IDC_FS_mailListItemAllow",
    "IDC_FS_mailListItemBlock",
    "IDC_FS_mailListItemAsk",
    "IDC_FS_siteListItemAllow",
    "IDC_FS_siteListItemBlock",
    "IDC_FS_siteListItemAsk",
    "IDC_FS_mailListItemRemoveAll",
    "IDC_FS_mailListItemRemove",
    "IDC_FS_siteListItemRemoveAll",
    "IDC_FS_siteListItemRemove",
    "IDC_FS_AlertLogList_NoOperation",
    "IDC_FS_LogVwClear",
    "IDC_FS_LogViewerStepper",
    "IDC_FS_AlertEventsLevel",
    "IDC_FS_AlertAndLogAdvancedSettings",
    "IDC_FS_AlertAndLogCustomSettings",
    "IDC_FS_technicalSupport",
    "IDC_FS_CheckWebTraffic",
};

// Commands that take an entry index of a list.
bool IsListCommand(int nCommand) {
  return (nCommand >= CMD_MAIL_ALLOW && nCommand <= CMD_SITE_ASK) || nCommand == CMD_MAIL_REMOVE ||
         nCommand == CMD_SITE_REMOVE;
}

// The Action an Allow, Block or Ask command of either list sets.
std::int32_t ActionOfCommand(int nCommand) {
  switch (nCommand) {
    case CMD_MAIL_ALLOW:
    case CMD_SITE_ALLOW:
      return PERMISSION_ALLOW;
    case CMD_MAIL_BLOCK:
    case CMD_SITE_BLOCK:
      return PERMISSION_BLOCK;
    default:
      return PERMISSION_ASK;
  }
}

// Commands that may change a stored setting; after them the settings are saved soon.
// The others only show, move or open something; backup saves by itself, restore
// and reset end the console without a save.
bool ChangesSettings(int nCommand) {
  switch (nCommand) {
    case CMD_DRAG:
    case CMD_HELP:
    case CMD_CLOSE:
    case CMD_MINIMIZE:
    case CMD_BACKUP:
    case CMD_RESTORE:
    case CMD_RESET:
    case CMD_LIVE_UPDATE:
    case CMD_MAIL_NO_OPERATION:
    case CMD_SITE_NO_OPERATION:
    case CMD_SITE_DETAILS:
    case CMD_MAIL_DETAILS:
    case CMD_LOG_NO_OPERATION:
    case CMD_SUPPORT:
      return false;
    default:
      return true;
  }
}

const char* const kSiteDetails[] = {
    "_root.ScamProgramNameSiteEntryDetSItem.EntryValue", "_root.ScamDateTimeSiteEntryDetSItem.EntryValue",
    "_root.ScamIPAddressSiteEntryDetSItem.EntryValue", "_root.ScamProtocolSiteEntryDetSItem.EntryValue"};
// Two of the names have no "_root." in front; the movie knows them so.
const char* const kMailDetails[] = {"_root.ScamProgramNameMailEntryDetSItem.EntryValue",
                                    "ScamFromMailEntryDetSItem.EntryValue",
                                    "ScamToMailEntryDetSItem.EntryValue",
                                    "_root.ScamSubjectMailEntryDetSItem.EntryValue",
                                    "_root.ScamDateTimeMailEntryDetSItem.EntryValue",
                                    "_root.ScamAttachmentMailEntryDetSItem.EntryValue",
                                    "_root.ScamProtocolMailEntryDetSItem.EntryValue"};

}  // namespace

void CMainScreen::PushOverview() {
  const auto decimal = [](std::int32_t n) { return DecimalText(n); };
  const std::int32_t nWeb = m_state.siteList.GetProtectionState();
  const std::int32_t nMail = m_state.mailList.GetProtectionState();
  m_player.SetVariable("_root.dwNoOfBlockedInstructions", decimal(m_state.nNoOfBlockedInstructions));
  m_state.nNoOfBlockedInstructionsHaveHighRating = m_state.alertLog.CountEntriesRated(ERating::High);
  m_player.SetVariable("_root.dwNoOfBlockedInstructionsHaveHighRating",
                       decimal(m_state.nNoOfBlockedInstructionsHaveHighRating));
  m_player.SetVariable("_root.dwNoOfEmailProtection", decimal(m_state.nNoOfEmailProtection));
  m_player.SetVariable("_root.dwNoOfWebProtection", decimal(m_state.nNoOfWebProtection));
  m_player.SetVariable("_root.bWebSiteBlockingProtectionState", StateForm(nWeb));
  m_player.SetVariable("_root.bEnabledAdvweb", nWeb ? "1" : "0");
  m_player.SetVariable("_root.advWebInterval", "1");
  m_player.SetVariable("_root.bMailSafeProtectionState", StateForm(nMail));
  m_player.SetVariable("_root.bEnabledAdvMail", nMail ? "1" : "0");
  m_player.SetVariable("_root.advMailInterval", "1");
  m_player.SetVariable("_root.strApplicationVersion", m_state.strApplicationVersion);
  m_player.SetVariable("_root.strTessalineSecurityEngineVersion", m_state.strEngineVersion);
  m_player.SetVariable("_root.strTessalineDefinitionVersion", m_state.strDefinitionVersion);
  m_player.SetVariable("_root.bLoadwithWindowsStartup", StateForm(m_state.nLoadwithWindowsStartup));
  m_player.SetVariable("_root.bLoadSplashScreen", StateForm(m_state.nLoadSplashScreen));
  m_player.SetVariable("_root.bIsLogin", StateForm(m_state.nIsLogin));
  m_player.SetVariable("_root.bIsPasswordEntered", StateForm(m_state.strPassword.empty() ? 0 : 1));
  m_player.SetVariable("_root.strCurrentLanguage", m_state.strLanguage);
  m_player.SetVariable("_root.languageOptions", m_services.LanguageOptions());
  m_player.SetVariable("_root.bLanguageChanged", "true");
  m_player.SetVariable("_root.enumAlertEventsLevel", decimal(m_state.alertLog.GetAlertLevel()));
  m_player.SetVariable("_root.LogViewerStepper", decimal(m_state.alertLog.GetLogViewStep()));
  if (m_state.pnCheckWebTraffic) {
    m_player.SetVariable("_root.strCheckWebTrafficText", m_services.LocalText(IDS_WEB_GUARD_SETTING));
    m_player.SetVariable("_root.bCheckWebTraffic", StateForm(*m_state.pnCheckWebTraffic));
    m_player.SetVariable("_root.bWebGuardByPolicy", StateForm(Holds(EPolicy::WebGuardOn) ? 1 : 0));
  }
}

std::string CMainScreen::ActionText(std::int32_t nAction) {
  const unsigned nId = PermissionStringId(nAction);
  return nId ? m_services.LocalText(nId) : std::string();
}

std::string CMainScreen::RatingText(const SRating& rating) {
  // A rating stored in a language no longer known shows as stored.
  const unsigned nId = RatingStringId(rating.eValue);
  return nId ? m_services.LocalText(nId) : rating.strAsStored;
}

bool CMainScreen::SendMailItem(int nIndex) {
  const CMailSafeItem* pItem = std::as_const(m_state.mailList).EntryAt(nIndex);
  if (!pItem) return false;
  m_player.SetVariable("_root.ScamMailStructItem.Type", EntryKindText(pItem->kind));
  m_player.SetVariable("_root.ScamMailStructItem.Stricted", pItem->strStrictedData);
  m_player.SetVariable("_root.ScamMailStructItem.Action", ActionText(pItem->nAction));
  m_player.SetVariable(kMailOperation, kAdd);
  return true;
}

bool CMainScreen::SendSiteItem(int nIndex) {
  const CWebSiteItem* pItem = std::as_const(m_state.siteList).EntryAt(nIndex);
  if (!pItem) return false;
  m_player.SetVariable("_root.ScamSiteStructItem.Type", EntryKindText(pItem->kind));
  m_player.SetVariable("_root.ScamSiteStructItem.StrictedData", pItem->strStrictedData);
  m_player.SetVariable("_root.ScamSiteStructItem.Action", ActionText(pItem->nAction));
  m_player.SetVariable(kSiteOperation, kAdd);
  return true;
}

bool CMainScreen::SendLogItem(int nIndex) {
  const CLogEntryDetails* pEntry = std::as_const(m_state.alertLog).EntryAt(nIndex);
  if (!pEntry) return false;
  m_player.SetVariable("_root.LogViewerStructItem.Count", DecimalText(pEntry->nCount));
  m_player.SetVariable("_root.LogViewerStructItem.RestrictedData", pEntry->strStrictedData);
  m_player.SetVariable("_root.LogViewerStructItem.ActionTaken", pEntry->strActionTaken);
  m_player.SetVariable("_root.LogViewerStructItem.HostIP", pEntry->strHostIP);
  m_player.SetVariable("_root.LogViewerStructItem.Program", pEntry->strProgram);
  m_player.SetVariable("_root.LogViewerStructItem.Protocol", pEntry->strProtocol);
  m_player.SetVariable("_root.LogViewerStructItem.Type", EntryKindText(pEntry->kind));
  m_player.SetVariable("_root.LogViewerStructItem.DateTime", pEntry->strDateTime);
  m_player.SetVariable("_root.LogViewerStructItem.Rating", RatingText(pEntry->rating));
  m_player.SetVariable(kLogOperation, kAdd);
  return true;
}

void CMainScreen::AddMailRow(int nIndex) {
  if (m_feeds[VIEW_MAIL_LIST].bOver) SendMailItem(nIndex);
}

void CMainScreen::AddSiteRow(int nIndex) {
  if (m_feeds[VIEW_SITE_LIST].bOver) SendSiteItem(nIndex);
}

void CMainScreen::AddLogRow(int nIndex) {
  if (m_feeds[VIEW_ALERT_LOG].bOver) SendLogItem(nIndex);
}

void CMainScreen::RefreshMailRow(int nIndex) {
  const CMailSafeItem* pItem = std::as_const(m_state.mailList).EntryAt(nIndex);
  m_player.SetVariable("_root.MailScamUpdatedItemValue", pItem ? ActionText(pItem->nAction) : std::string());
  m_player.SetVariable("_root.MailScamUpdatedItemIndex", DecimalText(nIndex));
  m_player.SetVariable(kMailOperation, kUpdate);
}

void CMainScreen::RefreshSiteRow(int nIndex) {
  const CWebSiteItem* pItem = std::as_const(m_state.siteList).EntryAt(nIndex);
  m_player.SetVariable("_root.WebProtectionUpdatedItemValue", pItem ? ActionText(pItem->nAction) : std::string());
  m_player.SetVariable("_root.WebProtectionUpdatedItemIndex", DecimalText(nIndex));
  m_player.SetVariable(kSiteOperation, kUpdate);
}

void CMainScreen::RefreshLogRow(int nIndex) {
  const CLogEntryDetails* pEntry = std::as_const(m_state.alertLog).EntryAt(nIndex);
  m_player.SetVariable("_root.LogViewerUpdatedItemValue", pEntry ? DecimalText(pEntry->nCount) : std::string());
  m_player.SetVariable("_root.LogViewerUpdatedIndexItem", DecimalText(nIndex));
}

void CMainScreen::StartFeeding() {
  for (const int nView : {VIEW_ALERT_LOG, VIEW_MAIL_LIST, VIEW_SITE_LIST}) {
    if (!m_feeds[nView].bWaiting) FeedNext(nView);
  }
}

void CMainScreen::StopFeeding() {
  for (SViewFeed& feed : m_feeds) feed.bOver = true;
}

bool CMainScreen::IsFeedOver() const {
  for (const SViewFeed& feed : m_feeds) {
    if (!feed.bOver) return false;
  }
  return true;
}

void CMainScreen::FeedNext(int nView) {
  SViewFeed& feed = m_feeds[nView];
  if (feed.bOver) return;
  const int nIndex = feed.nNext++;
  bool bSent = false;
  switch (nView) {
    case VIEW_ALERT_LOG:
      bSent = SendLogItem(nIndex);
      break;
    case VIEW_MAIL_LIST:
      bSent = SendMailItem(nIndex);
      break;
    case VIEW_SITE_LIST:
      bSent = SendSiteItem(nIndex);
      break;
  }
  feed.bWaiting = bSent;
  feed.bOver = !bSent;
}

void CMainScreen::OnAcknowledged(int nView) {
  // Rows sent after the feed are acknowledged too; they release nothing.
  SViewFeed& feed = m_feeds[nView];
  if (!feed.bWaiting) return;
  feed.bWaiting = false;
  FeedNext(nView);
}

void CMainScreen::SendMailDetails(const char* szArgs) {
  if (IsUndefinedArgument(szArgs)) {
    for (const char* szName : kMailDetails) m_player.SetVariable(szName, std::string());
    return;
  }
  const CMailSafeItem* pItem = std::as_const(m_state.mailList).EntryAt(ReadDecimalArgument(szArgs));
  if (!pItem) return;
  const std::string astrValues[] = {pItem->strProgram,
                                    pItem->strFrom,
                                    pItem->strTo,
                                    pItem->strSubject,
                                    pItem->strDataTime,
                                    pItem->strAttachmentFile,
                                    PortProtocolName(pItem->nPort)};
  for (int i = 0; i < 7; ++i) m_player.SetVariable(kMailDetails[i], astrValues[i]);
}

void CMainScreen::SendSiteDetails(const char* szArgs) {
  if (IsUndefinedArgument(szArgs)) {
    for (const char* szName : kSiteDetails) m_player.SetVariable(szName, std::string());
    return;
  }
  const CWebSiteItem* pItem = std::as_const(m_state.siteList).EntryAt(ReadDecimalArgument(szArgs));
  if (!pItem) return;
  const std::string astrValues[] = {pItem->strProgram, pItem->strDataTime, pItem->strIPAddress,
                                    PortProtocolName(pItem->nPort)};
  for (int i = 0; i < 4; ++i) m_player.SetVariable(kSiteDetails[i], astrValues[i]);
}

void CMainScreen::OnCommand(const char* szCommand, const char* szArgs) {
  if (!szCommand) return;
  if (!szArgs) szArgs = "";
  for (int nCommand = 0; nCommand < CMD_COUNT; ++nCommand) {
    if (!IsSameCommand(szCommand, kCommandNames[nCommand])) continue;
    if (IsListCommand(nCommand)) {
      if (!IsUndefinedArgument(szArgs)) RunListCommand(nCommand, ReadDecimalArgument(szArgs));
    } else {
      RunCommand(nCommand, szArgs);
    }
    if (ChangesSettings(nCommand)) SettingsChanged();
    return;
  }
}

void CMainScreen::RunListCommand(int nCommand, int nIndex) {
  const bool bSite = nCommand == CMD_SITE_ALLOW || nCommand == CMD_SITE_BLOCK || nCommand == CMD_SITE_ASK ||
                     nCommand == CMD_SITE_REMOVE;
  if (bSite ? (nIndex < 0 || nIndex >= m_state.siteList.GetCount())
            : (nIndex < 0 || nIndex >= m_state.mailList.GetCount())) {
    return;
  }
  switch (nCommand) {
    case CMD_MAIL_ALLOW:
    case CMD_MAIL_BLOCK:
    case CMD_MAIL_ASK:
      m_state.mailList.SetAction(nIndex, ActionOfCommand(nCommand));
      // The movie shows its own text at once; the row then shows the language's.
      RefreshMailRow(nIndex);
      break;
    case CMD_MAIL_REMOVE:
      m_state.mailList.RemoveEntry(nIndex);
      if (nIndex < m_feeds[VIEW_MAIL_LIST].nNext) --m_feeds[VIEW_MAIL_LIST].nNext;
      break;
    case CMD_SITE_REMOVE:
      m_state.siteList.RemoveEntry(nIndex);
      if (nIndex < m_feeds[VIEW_SITE_LIST].nNext) --m_feeds[VIEW_SITE_LIST].nNext;
      break;
    default:  // the site actions are guarded
      if (m_services.CheckLogin()) m_state.siteList.SetAction(nIndex, ActionOfCommand(nCommand));
      // Also after a refused login: the movie changed its row before it asked.
      RefreshSiteRow(nIndex);
      break;
  }
}

void CMainScreen::RunCommand(int nCommand, const char* szArgs) {
  switch (nCommand) {
    case CMD_DRAG:
      m_services.Drag();
      break;
    case CMD_HELP:
      m_services.OpenHelp();
      break;
    case CMD_CLOSE:
      m_services.HideToTray();
      break;
    case CMD_MINIMIZE:
      m_services.MinimizeToTaskbar();
      break;
    case CMD_LOAD_WITH_STARTUP:
      if (m_services.CheckLogin()) {
        m_state.nLoadwithWindowsStartup = m_state.nLoadwithWindowsStartup ? 0 : 1;
        m_player.SetVariable("_root.bLoadwithWindowsStartup", StateForm(m_state.nLoadwithWindowsStartup));
        m_services.UpdateStartupEntry();
      } else {
        m_player.SetVariable("_root.bLoadwithWindowsStartup", StateForm(m_state.nLoadwithWindowsStartup));
      }
      break;
    case CMD_LOAD_SPLASH:
      if (m_services.CheckLogin()) m_state.nLoadSplashScreen = m_state.nLoadSplashScreen ? 0 : 1;
      m_player.SetVariable("_root.bLoadSplashScreen", StateForm(m_state.nLoadSplashScreen));
      break;
    case CMD_SET_PASSWORD:
      SetPassword();
      break;
    case CMD_BACKUP:
      m_services.BackupSettings();
      break;
    case CMD_CHANGE_LANGUAGE:
      if (!IsUndefinedArgument(szArgs)) m_state.strLanguage = szArgs;
      break;
    case CMD_RESTORE:
      if (m_services.RestoreSettings()) m_services.EndWindow();
      break;
    case CMD_RESET:
      if (m_services.ResetSettings()) m_services.EndWindow();
      break;
    case CMD_LIVE_UPDATE:
      m_services.RunLiveUpdate();
      break;
    case CMD_LOGIN:
      Login();
      break;
    case CMD_MAIL_SETTINGS:
    case CMD_SITE_SETTINGS: {
      if (!m_services.CheckLogin()) break;
      const bool bMail = nCommand == CMD_MAIL_SETTINGS;
      std::int32_t nPermission = bMail ? m_state.mailList.GetPermission() : m_state.siteList.GetPermission();
      if (!m_services.EditPermission(bMail ? ADVSET_MODE_MAIL : ADVSET_MODE_SITE, &nPermission)) break;
      if (bMail) {
        m_state.mailList.SetPermission(nPermission);
      } else {
        m_state.siteList.SetPermission(nPermission);
      }
      break;
    }
    case CMD_MAIL_ON:
    case CMD_MAIL_OFF:
      if (m_services.CheckLogin()) m_state.mailList.SetProtectionState(nCommand == CMD_MAIL_ON ? 1 : 0);
      PushOverview();
      break;
    case CMD_SITE_ON:
    case CMD_SITE_OFF:
      if (m_services.CheckLogin()) m_state.siteList.SetProtectionState(nCommand == CMD_SITE_ON ? 1 : 0);
      PushOverview();
      break;
    case CMD_MAIL_NO_OPERATION:
      OnAcknowledged(VIEW_MAIL_LIST);
      break;
    case CMD_SITE_NO_OPERATION:
      OnAcknowledged(VIEW_SITE_LIST);
      break;
    case CMD_LOG_NO_OPERATION:
      OnAcknowledged(VIEW_ALERT_LOG);
      break;
    case CMD_SITE_DETAILS:
      SendSiteDetails(szArgs);
      break;
    case CMD_MAIL_DETAILS:
      SendMailDetails(szArgs);
      break;
    case CMD_MAIL_REMOVE_ALL:
      m_state.mailList.RemoveAll();
      m_feeds[VIEW_MAIL_LIST].nNext = 0;
      break;
    case CMD_SITE_REMOVE_ALL:
      m_state.siteList.RemoveAll();
      m_feeds[VIEW_SITE_LIST].nNext = 0;
      break;
    case CMD_LOG_CLEAR:
      m_state.alertLog.Clear();
      m_feeds[VIEW_ALERT_LOG].nNext = 0;
      break;
    case CMD_LOG_STEPPER:
      if (!IsUndefinedArgument(szArgs)) m_state.alertLog.SetLogViewStep(ReadDecimalArgument(szArgs));
      break;
    case CMD_ALERT_LEVEL:
      SetAlertLevel(szArgs);
      break;
    case CMD_LOG_SETTINGS: {
      if (!m_services.CheckLogin()) break;
      std::string strPath = m_state.alertLog.GetLogFilePath();
      // The dialog shows the archive as it runs; what a policy holds keeps the
      // user's own value whatever the dialog gives back.
      const std::int32_t nUserArchiveOn = m_state.alertLog.GetArchiveOn();
      const std::uint8_t bUserPeriod = m_state.alertLog.GetArchivePeriod();
      const CPolicies none;
      const CPolicies& policies = m_state.pPolicies ? *m_state.pPolicies : none;
      std::int32_t nArchiveOn = policies.NumberOr(EPolicy::ArchiveLog, nUserArchiveOn);
      std::uint8_t bPeriod = static_cast<std::uint8_t>(policies.NumberOr(EPolicy::ArchiveLogDays, bUserPeriod));
      const bool bByPolicy = Holds(EPolicy::ArchiveLog) || Holds(EPolicy::ArchiveLogDays);
      if (m_services.EditLogSettings(&strPath, &nArchiveOn, &bPeriod, bByPolicy)) {
        m_state.alertLog.SetLogFileSettings(strPath, Holds(EPolicy::ArchiveLog) ? nUserArchiveOn : nArchiveOn,
                                            Holds(EPolicy::ArchiveLogDays) ? bUserPeriod : bPeriod);
      }
      break;
    }
    case CMD_ALERT_DISPLAY:
      EditAlertDisplay();
      break;
    case CMD_SUPPORT:
      m_services.OpenSupportMail();
      break;
    case CMD_WEB_GUARD:
      // The console's web guard follows the switch within a second.
      if (!m_state.pnCheckWebTraffic || Holds(EPolicy::WebGuardOn)) break;
      if (m_services.CheckLogin()) *m_state.pnCheckWebTraffic = *m_state.pnCheckWebTraffic ? 0 : 1;
      m_player.SetVariable("_root.bCheckWebTraffic", StateForm(*m_state.pnCheckWebTraffic));
      break;
  }
}

void CMainScreen::SetPassword() {
  std::string strNew;
  if (!m_services.AskNewPassword(m_state.strPassword, &strNew)) return;
  m_state.strPassword = strNew;
  m_state.nIsLogin = strNew.empty() ? 0 : 1;
  m_player.SetVariable("_root.bIsLogin", StateForm(m_state.nIsLogin));
  m_player.SetVariable("_root.bIsPasswordEntered", StateForm(m_state.nIsLogin));
}

void CMainScreen::Login() {
  if (m_state.nIsLogin == 1) {
    if (m_services.AskQuestion(IDS_LOGOUT_QUESTION, IDS_LOGIN_ERROR) != 1) return;
    m_state.nIsLogin = 0;
  } else {
    if (!m_services.AskLogin(m_state.strPassword)) return;
    m_state.nIsLogin = 1;
  }
  m_player.SetVariable("_root.bIsLogin", StateForm(m_state.nIsLogin));
}

void CMainScreen::SetAlertLevel(const char* szArgs) {
  if (m_services.CheckLogin() && !IsUndefinedArgument(szArgs)) {
    m_state.alertLog.SetAlertLevel(ReadDecimalArgument(szArgs));
  }
  PushOverview();
}

void CMainScreen::EditAlertDisplay() {
  if (!m_services.CheckLogin()) return;
  std::int32_t nMail = m_state.alertLog.GetShowAlert(EVENT_MAIL_PROTECTION);
  std::int32_t nWeb = m_state.alertLog.GetShowAlert(EVENT_WEB_PROTECTION);
  if (!m_services.EditAlertDisplay(&nMail, &nWeb)) return;
  m_state.alertLog.SetCustomAlertDisplay(nMail, nWeb);
  PushOverview();
}
