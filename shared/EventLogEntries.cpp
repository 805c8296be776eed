#include "shared/EventLogEntries.h"

#include <initializer_list>

#include "shared/HookwardenEvents.h"

namespace {

// Control characters would let a page's address or a mail's subject start a
// line of its own in a collector's text; "%" would let Event Viewer take it
// for a parameter reference. Both are written as something harmless.
std::string InsertText(const std::string& strValue) {
  std::string strText;
  for (const char ch : strValue) {
    const auto by = static_cast<unsigned char>(ch);
    if (by < 0x20 || by == 0x7F) {
      strText += ' ';
    } else if (ch == '%') {
      strText += "%25";
    } else {
      strText += ch;
    }
    if (strText.size() > kMaxEventInsertBytes) break;
  }
  if (strText.size() > kMaxEventInsertBytes) {
    strText.resize(kMaxEventInsertBytes - 3);
    // No part of an escaped "%" is left at the cut.
    const std::size_t nPercent = strText.find('%', strText.size() > 2 ? strText.size() - 2 : 0);
    if (nPercent != std::string::npos) strText.resize(nPercent);
    strText += "...";
  }
  return strText;
}

SEventLogEntry Event(std::uint32_t dwEventId, std::initializer_list<std::string> values) {
  SEventLogEntry entry;
  entry.dwEventId = dwEventId;
  for (const std::string& strValue : values) entry.inserts.push_back(InsertText(strValue));
  return entry;
}

const char* AnswerText(bool bAllowed) {
  return bAllowed ? "Allow" : "Block";
}
const char* YesNo(bool b) {
  return b ? "yes" : "no";
}
// An empty value is written as "-": a rule then sees a field, not a gap.
std::string OrDash(const std::string& strValue) {
  return strValue.empty() ? "-" : strValue;
}

const char* BlockReasonText(EBlockReason eReason) {
  switch (eReason) {
    case EBlockReason::ListPermission:
      return "the list's permission is Block";
    case EBlockReason::EntryPermission:
      return "the entry's permission is Block";
    case EBlockReason::AlertNotShown:
      return "alerts of this kind are not shown";
    case EBlockReason::Policy:
      return "the administrator's policy blocks without asking";
  }
  return "";
}

}  // namespace

EEventLogType SEventLogEntry::Type() const {
  switch (dwEventId >> 30) {
    case HW_EVENT_SEVERITY_SUCCESS:
      return EEventLogType::Success;
    case HW_EVENT_SEVERITY_INFORMATIONAL:
      return EEventLogType::Information;
    case HW_EVENT_SEVERITY_WARNING:
      return EEventLogType::Warning;
    default:
      return EEventLogType::Error;
  }
}

SEventLogEntry AlertAnsweredEvent(const SWebEventFacts& facts, bool bAllowed, bool bRemembered) {
  return Event(HW_EVENT_WEB_ALERT_ANSWERED, {OrDash(facts.strMatch), OrDash(facts.strAddress), OrDash(facts.strHostIP),
                                             OrDash(facts.strProgram), AnswerText(bAllowed), YesNo(bRemembered)});
}

SEventLogEntry AlertAnsweredEvent(const SMailEventFacts& facts, bool bAllowed, bool bRemembered) {
  return Event(HW_EVENT_MAIL_ALERT_ANSWERED,
               {OrDash(facts.strMatch), OrDash(facts.strSender), OrDash(facts.strRecipient), OrDash(facts.strSubject),
                OrDash(facts.strProgram), AnswerText(bAllowed), YesNo(bRemembered)});
}

SEventLogEntry BlockedEvent(const SWebEventFacts& facts, EBlockReason eReason) {
  return Event(HW_EVENT_WEB_BLOCKED, {OrDash(facts.strMatch), OrDash(facts.strAddress), OrDash(facts.strHostIP),
                                      OrDash(facts.strProgram), BlockReasonText(eReason)});
}

SEventLogEntry BlockedEvent(const SMailEventFacts& facts, EBlockReason eReason) {
  return Event(HW_EVENT_MAIL_BLOCKED, {OrDash(facts.strMatch), OrDash(facts.strSender), OrDash(facts.strRecipient),
                                       OrDash(facts.strSubject), OrDash(facts.strProgram), BlockReasonText(eReason)});
}

SEventLogEntry GuardStartedEvent(const std::string& strListen, std::uint32_t dwConsoleId) {
  return Event(HW_EVENT_GUARD_STARTED, {strListen, dwConsoleId ? std::to_string(dwConsoleId) : std::string("-")});
}

SEventLogEntry GuardStoppedEvent(const std::string& strListen, EGuardStop eWhy, int nExitCode) {
  std::string strWhy;
  switch (eWhy) {
    case EGuardStop::ConsoleAsked:
      strWhy = "the console asked it to end";
      break;
    case EGuardStop::ConsoleGone:
      strWhy = "its console ended";
      break;
    case EGuardStop::ByItself:
      strWhy = "it ended by itself with exit code " + std::to_string(nExitCode);
      break;
  }
  return Event(HW_EVENT_GUARD_STOPPED, {strListen, strWhy});
}

SEventLogEntry DefinitionsInstalledEvent(const std::string& strVersion, const std::string& strFromAddress) {
  return Event(HW_EVENT_DEFINITIONS_INSTALLED, {OrDash(strVersion), OrDash(strFromAddress)});
}

SEventLogEntry DefinitionsUpdateFailedEvent(const std::string& strFromAddress, const std::string& strMessage) {
  return Event(HW_EVENT_DEFINITIONS_UPDATE_FAILED, {OrDash(strFromAddress), OrDash(strMessage)});
}

SEventLogEntry DefinitionsRefusedEvent(const std::string& strVersion, const std::string& strFolder,
                                       const std::string& strWhy) {
  return Event(HW_EVENT_DEFINITIONS_REFUSED, {OrDash(strVersion), OrDash(strFolder), OrDash(strWhy)});
}

SEventLogEntry DefinitionsInUseEvent(const std::string& strVersion, const std::string& strFolder) {
  return Event(HW_EVENT_DEFINITIONS_IN_USE, {OrDash(strVersion), OrDash(strFolder)});
}

SEventLogEntry SettingsRestoredEvent(const std::string& strFile) {
  return Event(HW_EVENT_SETTINGS_RESTORED, {OrDash(strFile)});
}

SEventLogEntry SettingsResetEvent() {
  return Event(HW_EVENT_SETTINGS_RESET, {});
}
