// The events of the system log as a collector's rule sees them: id, type and the
// insert strings in their order, and inserts that a page or a mail controls made
// harmless and bounded.
#include "shared/EventLogEntries.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

struct SEventCase {
  const char* szName;
  SEventLogEntry entry;
  unsigned nShownId;
  EEventLogType eType;
  std::vector<std::string> inserts;
};

const SWebEventFacts kWeb{"Phishing Website", "login.example.com/verify", "192.0.2.77", "wininet-client.exe"};
const SMailEventFacts kMail{"From", "billing@example.net", "user@example.com", "Your invoice", "outlook.exe"};

TEST(EventLogEntries, EachEventHasItsIdTypeAndInserts) {
  const SEventCase cases[] = {
      {"web alert",
       AlertAnsweredEvent(kWeb, true, false),
       1000,
       EEventLogType::Warning,
       {"Phishing Website", "login.example.com/verify", "192.0.2.77", "wininet-client.exe", "Allow", "no"}},
      {"mail alert",
       AlertAnsweredEvent(kMail, false, true),
       1001,
       EEventLogType::Warning,
       {"From", "billing@example.net", "user@example.com", "Your invoice", "outlook.exe", "Block", "yes"}},
      {"web block",
       BlockedEvent(kWeb, EBlockReason::ListPermission),
       1002,
       EEventLogType::Warning,
       {"Phishing Website", "login.example.com/verify", "192.0.2.77", "wininet-client.exe",
        "the list's permission is Block"}},
      {"mail block",
       BlockedEvent(kMail, EBlockReason::AlertNotShown),
       1003,
       EEventLogType::Warning,
       {"From", "billing@example.net", "user@example.com", "Your invoice", "outlook.exe",
        "alerts of this kind are not shown"}},
      {"web block by entry",
       BlockedEvent(SWebEventFacts{}, EBlockReason::EntryPermission),
       1002,
       EEventLogType::Warning,
       {"-", "-", "-", "-", "the entry's permission is Block"}},
      {"guard started",
       GuardStartedEvent("127.0.0.1:8118", 4242),
       2000,
       EEventLogType::Information,
       {"127.0.0.1:8118", "4242"}},
      {"guard stopped by the console",
       GuardStoppedEvent("127.0.0.1:8118", EGuardStop::ConsoleAsked, 0),
       2001,
       EEventLogType::Information,
       {"127.0.0.1:8118", "the console asked it to end"}},
      {"guard stopped by itself",
       GuardStoppedEvent("127.0.0.1:8118", EGuardStop::ByItself, 1),
       2001,
       EEventLogType::Information,
       {"127.0.0.1:8118", "it ended by itself with exit code 1"}},
      {"definitions installed",
       DefinitionsInstalledEvent("12/09/2026", "https://defs.example.com/update.txt"),
       3000,
       EEventLogType::Information,
       {"12/09/2026", "https://defs.example.com/update.txt"}},
      {"update failed",
       DefinitionsUpdateFailedEvent("", "The update failed: it cannot be reached."),
       3001,
       EEventLogType::Error,
       {"-", "The update failed: it cannot be reached."}},
      {"refused at start-up",
       DefinitionsRefusedEvent("12/09/2026", "C:\\Users\\u\\Hookwarden", "not definitions"),
       3002,
       EEventLogType::Warning,
       {"12/09/2026", "C:\\Users\\u\\Hookwarden", "not definitions"}},
      {"in use",
       DefinitionsInUseEvent("12/01/2026", "C:\\Program Files\\Hookwarden"),
       3003,
       EEventLogType::Information,
       {"12/01/2026", "C:\\Program Files\\Hookwarden"}},
      {"restored", SettingsRestoredEvent("C:\\backup.reg"), 4000, EEventLogType::Warning, {"C:\\backup.reg"}},
      {"reset", SettingsResetEvent(), 4001, EEventLogType::Warning, {}},
  };
  for (const SEventCase& c : cases) {
    SCOPED_TRACE(c.szName);
    EXPECT_EQ(c.nShownId, c.entry.ShownId());
    EXPECT_EQ(static_cast<int>(c.eType), static_cast<int>(c.entry.Type()));
    EXPECT_EQ(c.inserts, c.entry.inserts);
  }
}

// A page controls its address and a mail its subject: neither starts a line of
// its own in a collector, names a parameter, or grows the event without bound.
TEST(EventLogEntries, InsertsAreMadeHarmlessAndCut) {
  SWebEventFacts facts = kWeb;
  facts.strAddress = "evil.example/a\r\nAnswer: Allow\t%%1234%1";
  facts.strProgram = std::string(5000, 'p');
  const SEventLogEntry entry = AlertAnsweredEvent(facts, false, false);
  EXPECT_EQ("evil.example/a  Answer: Allow %25%251234%251", entry.inserts.at(1));
  EXPECT_EQ(kMaxEventInsertBytes, entry.inserts.at(3).size());
  EXPECT_EQ(std::string(kMaxEventInsertBytes - 3, 'p') + "...", entry.inserts.at(3));

  // A cut never leaves part of an escaped "%" behind.
  for (std::size_t nLead = kMaxEventInsertBytes - 6; nLead < kMaxEventInsertBytes; ++nLead) {
    facts.strProgram = std::string(nLead, 'p') + std::string(100, '%');
    const std::string strCut = AlertAnsweredEvent(facts, false, false).inserts.at(3);
    SCOPED_TRACE(nLead);
    EXPECT_LE(strCut.size(), kMaxEventInsertBytes);
    EXPECT_EQ("...", strCut.substr(strCut.size() - 3));
    const std::string strBody = strCut.substr(0, strCut.size() - 3);
    EXPECT_EQ(0u, (strBody.size() - std::min(strBody.size(), nLead)) % 3) << strBody.substr(nLead);
  }
}

}  // namespace
