// The events of the Application log, each built from typed values into its id
// and insert strings (shared/HookwardenEvents.mc holds ids, severities and
// texts). Platform-free; EventLog_win.h writes them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The event type the log keeps, from the severity of the id.
enum class EEventLogType { Success, Information, Warning, Error };

struct SEventLogEntry {
  std::uint32_t dwEventId = 0;  // with its severity bits, as ReportEvent takes it
  std::vector<std::string> inserts;

  EEventLogType Type() const;
  // The id the Event Viewer shows and a rule filters on (the low 16 bits).
  std::uint16_t ShownId() const { return static_cast<std::uint16_t>(dwEventId & 0xFFFF); }
};

// Inserts are cut at this many bytes ("..." marks the cut), so that a page's
// long address or subject keeps the event readable and within ReportEvent's limits.
constexpr std::size_t kMaxEventInsertBytes = 1024;

// What a web or a mail request was about, as the alert shows it.
struct SWebEventFacts {
  std::string strMatch;    // the entry's type: "Phishing Website", ...
  std::string strAddress;  // the listed address or host address
  std::string strHostIP;
  std::string strProgram;
};
struct SMailEventFacts {
  std::string strMatch;
  std::string strSender;
  std::string strRecipient;
  std::string strSubject;
  std::string strProgram;
};

// Why a request was blocked without asking the user.
enum class EBlockReason { ListPermission, EntryPermission, AlertNotShown, Policy };

// Why the web guard ended.
enum class EGuardStop { ConsoleAsked, ConsoleGone, ByItself };

SEventLogEntry AlertAnsweredEvent(const SWebEventFacts& facts, bool bAllowed, bool bRemembered);
SEventLogEntry AlertAnsweredEvent(const SMailEventFacts& facts, bool bAllowed, bool bRemembered);
SEventLogEntry BlockedEvent(const SWebEventFacts& facts, EBlockReason eReason);
SEventLogEntry BlockedEvent(const SMailEventFacts& facts, EBlockReason eReason);
// strListen is "ADDRESS:PORT"; nExitCode counts only when it ended by itself.
SEventLogEntry GuardStartedEvent(const std::string& strListen, std::uint32_t dwConsoleId);
SEventLogEntry GuardStoppedEvent(const std::string& strListen, EGuardStop eWhy, int nExitCode);
SEventLogEntry DefinitionsInstalledEvent(const std::string& strVersion, const std::string& strFromAddress);
// strMessage: the updater's own sentence, which says why and what stays in place.
SEventLogEntry DefinitionsUpdateFailedEvent(const std::string& strFromAddress, const std::string& strMessage);
SEventLogEntry DefinitionsRefusedEvent(const std::string& strVersion, const std::string& strFolder,
                                       const std::string& strWhy);
SEventLogEntry DefinitionsInUseEvent(const std::string& strVersion, const std::string& strFolder);
SEventLogEntry SettingsRestoredEvent(const std::string& strFile);
SEventLogEntry SettingsResetEvent();
