// The events of the system log as a collector's rule sees them: id, type and the
// insert strings in their order, and inserts that a page or a mail controls made
// harmless and bounded. The request handling's and the programs' own events are
// checked where they are written.
#include "shared/EventLogEntries.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

// "ID Type|insert|insert...".
std::string Text(const SEventLogEntry& entry) {
  static const char* const kTypes[] = {"Success", "Information", "Warning", "Error"};
  std::string strText = std::to_string(entry.ShownId()) + " " + kTypes[static_cast<int>(entry.Type())];
  for (const std::string& strInsert : entry.inserts) strText += "|" + strInsert;
  return strText;
}

TEST(EventLogEntries, EachEventHasItsIdTypeAndInserts) {
  const SMailEventFacts mail{"From", "billing@example.net", "", "Your invoice", "outlook.exe"};
  const struct {
    SEventLogEntry entry;
    const char* szText;
  } cases[] = {
      // An empty value is a "-".
      {BlockedEvent(mail, EBlockReason::AlertNotShown),
       "1003 Warning|From|billing@example.net|-|Your invoice|outlook.exe|alerts of this kind are not shown"},
      {GuardStoppedEvent("127.0.0.1:8118", EGuardStop::ByItself, 1),
       "2001 Information|127.0.0.1:8118|it ended by itself with exit code 1"},
      {DefinitionsUpdateFailedEvent("", "It cannot be reached."), "3001 Error|-|It cannot be reached."},
      {DefinitionsRefusedEvent("12/09/2026", "C:\\Users\\u\\Hookwarden", "not definitions"),
       "3002 Warning|12/09/2026|C:\\Users\\u\\Hookwarden|not definitions"},
      {DefinitionsInUseEvent("12/01/2026", "C:\\Hookwarden"), "3003 Information|12/01/2026|C:\\Hookwarden"},
      {SettingsRestoredEvent("C:\\backup.reg"), "4000 Warning|C:\\backup.reg"},
      {SettingsResetEvent(), "4001 Warning"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.szText, Text(c.entry));
}

// A page controls its address and a mail its subject: neither starts a line of
// its own in a collector, names a parameter, or grows the event without bound.
TEST(EventLogEntries, InsertsAreMadeHarmlessAndCut) {
  SWebEventFacts facts{"Phishing Website", "evil.example/a\r\nAnswer: Allow\t%%1234%1", "192.0.2.77",
                       std::string(5000, 'p')};
  const SEventLogEntry entry = AlertAnsweredEvent(facts, false, false);
  EXPECT_EQ("evil.example/a  Answer: Allow %25%251234%251", entry.inserts.at(1));
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
