// The alert log in memory, the alert level rules and the settings setters.
#include <gtest/gtest.h>

#include "console/settings/AlertLog.h"

namespace {

CLogEntryDetails Entry(const char* szProgram, const char* szAction) {
  CLogEntryDetails entry;
  entry.rating = ERating::Medium;
  entry.strDateTime = "Monday, December 07, 2026 14:05:09";
  entry.kind = EEntryKind::Url;
  entry.strProtocol = "HTTP";
  entry.strProgram = szProgram;
  entry.strHostIP = "192.0.2.7";
  entry.strActionTaken = szAction;
  entry.strStrictedData = "phish.example.com";
  return entry;
}

TEST(AlertLogDefaults, SettingsAndEvents) {
  CAlertLogSettings settings("C:\\Apps\\Hookwarden");
  EXPECT_EQ("C:\\Apps\\Hookwarden\\CVHookwarden.log", settings.GetLogFilePath());
  EXPECT_EQ(ALERT_LEVEL_ALL, settings.GetAlertLevel());
  EXPECT_EQ(1, settings.GetArchivePeriod());
  EXPECT_EQ(50, settings.GetLogViewStep());
  EXPECT_EQ(1, settings.GetArchiveOn());
  EXPECT_EQ(1, settings.GetCustomAlertChoice());
  ASSERT_EQ(2u, settings.GetAlertEvents().size());
  EXPECT_EQ("E-Mail Protection", settings.GetAlertEvents()[0].strName);
  EXPECT_EQ("Web Protection", settings.GetAlertEvents()[1].strName);
  EXPECT_EQ(1, settings.GetShowAlert(EVENT_MAIL_PROTECTION));
  EXPECT_EQ(1, settings.GetShowAlert(EVENT_WEB_PROTECTION));
  EXPECT_EQ(0, settings.GetShowAlert(2));
  EXPECT_EQ(0, settings.GetEntryCount());
  EXPECT_EQ(1, CLogEntryDetails().nCount);
}

TEST(AlertLogEntries, FindEqualComparesSixFieldsIgnoringCase) {
  CAlertLogSettings settings;
  EXPECT_EQ(-1, settings.FindEqualEntry(Entry("app.exe", "Block")));
  EXPECT_EQ(0, settings.AppendEntry(Entry("app.exe", "Block")));

  CLogEntryDetails other = Entry("APP.EXE", "block");
  other.rating = ERating::High;
  other.strDateTime = "another time";
  other.nCount = 7;
  EXPECT_EQ(0, settings.FindEqualEntry(other));

  // Allowed once and blocked once are two entries.
  EXPECT_EQ(-1, settings.FindEqualEntry(Entry("app.exe", "Allow")));
  EXPECT_EQ(-1, settings.FindEqualEntry(Entry("app.exe", "")));
  CLogEntryDetails otherKind = Entry("app.exe", "Block");
  otherKind.kind = EEntryKind::HostIP;
  EXPECT_EQ(-1, settings.FindEqualEntry(otherKind));
  for (auto pField :
       {&CLogEntryDetails::strProtocol, &CLogEntryDetails::strHostIP, &CLogEntryDetails::strStrictedData}) {
    CLogEntryDetails changed = Entry("app.exe", "Block");
    changed.*pField += "x";
    EXPECT_EQ(-1, settings.FindEqualEntry(changed));
  }
  EXPECT_EQ(1, settings.AppendEntry(Entry("app.exe", "Allow")));
  EXPECT_EQ(1, settings.FindEqualEntry(Entry("app.exe", "Allow")));
}

TEST(AlertLogEntries, EntryAtCountRatedAndClear) {
  CAlertLogSettings settings;
  settings.AppendEntry(Entry("a.exe", "Block"));
  settings.AppendEntry(Entry("b.exe", "Block"));
  settings.AppendEntry(Entry("c.exe", "Allow"));
  EXPECT_EQ(nullptr, settings.EntryAt(-1));
  EXPECT_EQ(nullptr, settings.EntryAt(3));
  CLogEntryDetails* pEntry = settings.EntryAt(1);
  ASSERT_NE(nullptr, pEntry);
  pEntry->nCount = 11;
  pEntry->rating = ERating::High;
  settings.EntryAt(2)->rating = RatingOfStoredText("HIGH");
  EXPECT_EQ(2, settings.CountEntriesRated(ERating::High));
  EXPECT_EQ(1, settings.CountEntriesRated(ERating::Medium));
  EXPECT_EQ(11, settings.EntryAt(1)->nCount);

  settings.SetAlertLevel(ALERT_LEVEL_NONE);
  settings.Clear();
  EXPECT_EQ(0, settings.GetEntryCount());
  EXPECT_EQ(0, settings.CountEntriesRated(ERating::High));
  EXPECT_EQ(ALERT_LEVEL_NONE, settings.GetAlertLevel());
  EXPECT_EQ(0, settings.AppendEntry(Entry("a.exe", "Block")));
}

TEST(AlertLevels, EachLevelSetsTheEvents) {
  CAlertLogSettings settings;
  settings.SetAlertLevel(ALERT_LEVEL_NONE);
  EXPECT_EQ(0, settings.GetShowAlert(EVENT_MAIL_PROTECTION));
  EXPECT_EQ(0, settings.GetShowAlert(EVENT_WEB_PROTECTION));
  settings.SetAlertLevel(ALERT_LEVEL_ALL);
  EXPECT_EQ(1, settings.GetShowAlert(EVENT_MAIL_PROTECTION));
  EXPECT_EQ(1, settings.GetShowAlert(EVENT_WEB_PROTECTION));

  // Custom choice 1 (the default): mail alerts only.
  settings.SetAlertLevel(ALERT_LEVEL_CHOSEN_KIND);
  EXPECT_EQ(1, settings.GetShowAlert(EVENT_MAIL_PROTECTION));
  EXPECT_EQ(0, settings.GetShowAlert(EVENT_WEB_PROTECTION));

  // Another level is kept but leaves the events as they were.
  settings.SetAlertLevel(7);
  EXPECT_EQ(7, settings.GetAlertLevel());
  EXPECT_EQ(1, settings.GetShowAlert(EVENT_MAIL_PROTECTION));
  EXPECT_EQ(0, settings.GetShowAlert(EVENT_WEB_PROTECTION));
}

TEST(AlertLevels, CustomDisplaySetsChoiceFromMailFlag) {
  CAlertLogSettings settings;
  settings.SetCustomAlertDisplay(0, 1);
  EXPECT_EQ(0, settings.GetCustomAlertChoice());
  EXPECT_EQ(0, settings.GetShowAlert(EVENT_MAIL_PROTECTION));
  EXPECT_EQ(1, settings.GetShowAlert(EVENT_WEB_PROTECTION));
  settings.SetAlertLevel(ALERT_LEVEL_CHOSEN_KIND);
  EXPECT_EQ(0, settings.GetShowAlert(EVENT_MAIL_PROTECTION));
  EXPECT_EQ(1, settings.GetShowAlert(EVENT_WEB_PROTECTION));

  // Mail 1 and web 1 stored, then level 1: mail shown, web not.
  settings.SetCustomAlertDisplay(1, 1);
  settings.SetAlertLevel(ALERT_LEVEL_CHOSEN_KIND);
  EXPECT_EQ(1, settings.GetShowAlert(EVENT_MAIL_PROTECTION));
  EXPECT_EQ(0, settings.GetShowAlert(EVENT_WEB_PROTECTION));
}

TEST(LogSettings, ViewStepKeepsSixteenBitsAndIgnoresZero) {
  CAlertLogSettings settings;
  settings.SetLogViewStep(0);
  EXPECT_EQ(50, settings.GetLogViewStep());
  settings.SetLogViewStep(70);
  EXPECT_EQ(70, settings.GetLogViewStep());
  settings.SetLogViewStep(70000);
  EXPECT_EQ(4464, settings.GetLogViewStep());
  settings.SetLogViewStep(40000);  // above the signed range: no sign
  EXPECT_EQ(40000, settings.GetLogViewStep());
  settings.SetLogViewStep(65536);  // 0 in 16 bits, but not the argument 0
  EXPECT_EQ(0, settings.GetLogViewStep());
}

}  // namespace
