// The alert log and its settings through a real save and load in the registry.
#include <gtest/gtest.h>

#include <string>

#include "RegistryTestKey_win.h"
#include "console/settings/AlertLog.h"
#include "console/settings/store/RegistryStoreKey_win.h"
#include "settings/ArchiveTime.h"

namespace {

CLogEntryDetails FullEntry(int n) {
  CLogEntryDetails entry;
  entry.rating = n == 0 ? ERating::High : ERating::Medium;
  entry.strDateTime = "Monday, December 07, 2026 14:05:09";
  entry.kind = EEntryKind::HostIP;
  entry.strProtocol = "HTTP";
  entry.strProgram = "app" + std::to_string(n) + ".exe";
  entry.strHostIP = "192.0.2.7";
  entry.strActionTaken = "Block";
  entry.strStrictedData = "192.0.2.7";
  entry.nCount = 11 + n;
  return entry;
}

SLocalTime StartTime() {
  SLocalTime time = ArchiveTime(12, 7, 1, 14, 5, 9);
  time.wMilliseconds = 321;
  return time;
}

TEST(AlertLogInRegistry, EntriesSettingsAndEventsSurviveSaveAndLoad) {
  CRegistryTestKey testKey;
  CRegistryStoreKey productKey(testKey.Get());
  CAlertLogSettings settings("C:\\App", StartTime());
  for (int i = 0; i < 3; ++i) settings.AppendEntry(FullEntry(i));
  settings.SetLogFileSettings("D:\\logs\\guard.log", 0, 30);
  settings.SetLogViewStep(300);
  settings.SetCustomAlertDisplay(1, 0);
  settings.SetAlertLevel(7);
  ASSERT_EQ(RESULT_SUCCESS, settings.WriteToKey(productKey).Code());

  CAlertLogSettings read("C:\\Other");
  read.AppendEntry(FullEntry(9));  // replaced by the stored entries
  read.ReadFromKey(productKey);
  ASSERT_EQ(3, read.GetEntryCount());
  for (int i = 0; i < 3; ++i) {
    const CLogEntryDetails expected = FullEntry(i);
    const CLogEntryDetails& actual = *read.EntryAt(i);
    EXPECT_EQ(StoredTextOf(expected.rating), StoredTextOf(actual.rating));
    EXPECT_EQ(expected.strDateTime, actual.strDateTime);
    EXPECT_EQ(StoredTextOf(expected.kind), StoredTextOf(actual.kind));
    EXPECT_EQ(expected.strProtocol, actual.strProtocol);
    EXPECT_EQ(expected.strProgram, actual.strProgram);
    EXPECT_EQ(expected.strHostIP, actual.strHostIP);
    EXPECT_EQ(expected.strActionTaken, actual.strActionTaken);
    EXPECT_EQ(expected.strStrictedData, actual.strStrictedData);
    EXPECT_EQ(expected.nCount, actual.nCount);
  }
  EXPECT_EQ("D:\\logs\\guard.log", read.GetLogFilePath());
  EXPECT_EQ(0, read.GetArchiveOn());
  EXPECT_EQ(30, read.GetArchivePeriod());
  EXPECT_EQ(300, read.GetLogViewStep());  // above one byte
  EXPECT_EQ(7, read.GetAlertLevel());
  EXPECT_EQ(1, read.GetShowAlert(EVENT_MAIL_PROTECTION));
  EXPECT_EQ(0, read.GetShowAlert(EVENT_WEB_PROTECTION));
  EXPECT_EQ(1, read.GetCustomAlertChoice());  // web event off
  const SLocalTime time = read.GetArchiveStartTime();
  EXPECT_EQ(2026, time.wYear);
  EXPECT_EQ(12, time.wMonth);
  EXPECT_EQ(1, time.wDayOfWeek);
  EXPECT_EQ(7, time.wDay);
  EXPECT_EQ(14, time.wHour);
  EXPECT_EQ(5, time.wMinute);
  EXPECT_EQ(9, time.wSecond);
  EXPECT_EQ(321, time.wMilliseconds);
}

constexpr int kFirstEntryCount = 11;  // FullEntry(0)'s
constexpr int kDefaultLogViewStep = 50;

class StoredLogFormats : public ::testing::TestWithParam<SStoredFormatCase> {};

TEST_P(StoredLogFormats, OfValues) {
  CRegistryTestKey testKey;
  CRegistryStoreKey productKey(testKey.Get());
  CAlertLogSettings settings("C:\\App", StartTime());
  settings.AppendEntry(FullEntry(0));
  ASSERT_EQ(RESULT_SUCCESS, settings.WriteToKey(productKey).Code());
  testKey.ExpectStored(GetParam());
}

INSTANTIATE_TEST_SUITE_P(
    AlertLogInRegistry, StoredLogFormats,
    ::testing::Values(
        SStoredFormatCase{"AlertandLog", "AlertLogEntryDetailsListNo", EStoredCheck::TypeAndBytes, REG_BINARY,
                          Bytes({1, 0, 0, 0})},
        SStoredFormatCase{"AlertandLog\\LogEntryDetails0", "Count", EStoredCheck::TypeAndBytes, REG_BINARY,
                          Bytes({kFirstEntryCount, 0, 0, 0})},
        SStoredFormatCase{"AlertandLog\\LogEntryDetails0", "Rating", EStoredCheck::Text, REG_SZ, "High"},
        SStoredFormatCase{"AlertandLog\\EventAlert1", "ShowAlert", EStoredCheck::Bytes, kAnyType, Bytes({1, 0, 0, 0})},
        SStoredFormatCase{"AlertandLog", "LogFilePath", EStoredCheck::Text, REG_SZ, "C:\\App\\CVHookwarden.log"},
        SStoredFormatCase{"AlertandLog", "AlertEventsLevel", EStoredCheck::Bytes, kAnyType,
                          Bytes({ALERT_LEVEL_ALL, 0, 0, 0})},
        SStoredFormatCase{"AlertandLog", "ArchiveLogPeriodicDays", EStoredCheck::TypeAndBytes, REG_BINARY, Bytes({1})},
        // The view step in two bytes.
        SStoredFormatCase{"AlertandLog", "NoAlertView", EStoredCheck::Bytes, kAnyType, Bytes({kDefaultLogViewStep, 0})},
        SStoredFormatCase{"AlertandLog", "ArchiveLogFile", EStoredCheck::Bytes, kAnyType, Bytes({1, 0, 0, 0})},
        // StartTime() as a SYSTEMTIME: 2026-12-07 (Monday), 14:05:09.321.
        SStoredFormatCase{"AlertandLog", "ArchiveLogFileStartTime", EStoredCheck::Bytes, kAnyType,
                          Bytes({0xEA, 0x07, 12, 0, 1, 0, 7, 0, 14, 0, 5, 0, 9, 0, 0x41, 0x01})}));

TEST(AlertLogInRegistry, ClearThenSaveLeavesNoEntrySubkeys) {
  CRegistryTestKey testKey;
  CRegistryStoreKey productKey(testKey.Get());
  CAlertLogSettings settings;
  settings.AppendEntry(FullEntry(0));
  settings.Clear();
  ASSERT_EQ(RESULT_SUCCESS, settings.WriteToKey(productKey).Code());
  DWORD dwType = 0;
  std::string strData;
  ASSERT_TRUE(testKey.QueryRaw("AlertandLog", "AlertLogEntryDetailsListNo", &dwType, &strData));
  EXPECT_EQ(Bytes({0, 0, 0, 0}), strData);
  EXPECT_EQ((std::vector<std::string>{"EventAlert0", "EventAlert1"}), testKey.SubKeyNames("AlertandLog"));
}

TEST(AlertLogInRegistry, EventsAreRebuiltOnEveryRead) {
  CRegistryTestKey testKey;
  CRegistryStoreKey productKey(testKey.Get());
  CAlertLogSettings settings;
  settings.SetAlertLevel(ALERT_LEVEL_NONE);
  settings.AppendEntry(FullEntry(0));
  // No key: entries and settings stay, the events come back with ShowAlert 1.
  settings.ReadFromKey(productKey);
  EXPECT_EQ(1, settings.GetEntryCount());
  EXPECT_EQ(ALERT_LEVEL_NONE, settings.GetAlertLevel());
  EXPECT_EQ(1, settings.GetShowAlert(EVENT_MAIL_PROTECTION));
  EXPECT_EQ(1, settings.GetShowAlert(EVENT_WEB_PROTECTION));

  // Only the mail event stored: the web event keeps 1, the choice follows mail.
  testKey.SetRaw("AlertandLog\\EventAlert0", "ShowAlert", REG_BINARY, Bytes({0, 1, 0, 0}));
  settings.ReadFromKey(productKey);
  EXPECT_EQ(0, settings.GetEntryCount());
  EXPECT_EQ(0, settings.GetShowAlert(EVENT_MAIL_PROTECTION));
  EXPECT_EQ(1, settings.GetShowAlert(EVENT_WEB_PROTECTION));
  EXPECT_EQ(1, settings.GetCustomAlertChoice());
  // Web event 1 stored: the choice becomes 0.
  testKey.SetRaw("AlertandLog\\EventAlert1", "ShowAlert", REG_BINARY, Bytes({1, 0, 0, 0}));
  settings.ReadFromKey(productKey);
  EXPECT_EQ(0, settings.GetCustomAlertChoice());
}

TEST(AlertLogInRegistry, GapsShortValuesAndMissingValues) {
  CRegistryTestKey testKey;
  CRegistryStoreKey productKey(testKey.Get());
  testKey.SetRaw("AlertandLog", "AlertLogEntryDetailsListNo", REG_BINARY, Bytes({4, 0, 0, 0}));
  testKey.SetRaw("AlertandLog\\LogEntryDetails0", "Program", REG_SZ, "a.exe");
  testKey.SetRaw("AlertandLog\\LogEntryDetails2", "Program", REG_SZ, "c.exe");
  testKey.SetRaw("AlertandLog\\LogEntryDetails2", "Count", REG_BINARY, Bytes({5, 0, 0, 0, 9, 9}));
  testKey.SetRaw("AlertandLog\\LogEntryDetails3", "Program", REG_SZ, "d.exe");
  testKey.SetRaw("AlertandLog\\LogEntryDetails3", "Rating", REG_SZ, "");
  testKey.SetRaw("AlertandLog", "LogFilePath", REG_SZ, "");
  testKey.SetRaw("AlertandLog", "AlertEventsLevel", REG_BINARY, Bytes({2, 1, 0, 0}));
  testKey.SetRaw("AlertandLog", "NoAlertView", REG_BINARY, Bytes({70}));
  CAlertLogSettings settings("C:\\App");
  settings.ReadFromKey(productKey);
  ASSERT_EQ(3, settings.GetEntryCount());
  EXPECT_EQ("a.exe", settings.EntryAt(0)->strProgram);
  EXPECT_EQ(1, settings.EntryAt(0)->nCount);
  EXPECT_EQ("c.exe", settings.EntryAt(1)->strProgram);
  EXPECT_EQ(5, settings.EntryAt(1)->nCount);  // first four bytes
  EXPECT_EQ("d.exe", settings.EntryAt(2)->strProgram);
  EXPECT_EQ("", StoredTextOf(settings.EntryAt(2)->rating));
  EXPECT_EQ("C:\\App\\CVHookwarden.log", settings.GetLogFilePath());  // empty value keeps the path
  EXPECT_EQ(ALERT_LEVEL_NONE, settings.GetAlertLevel());
  EXPECT_EQ(70, settings.GetLogViewStep());
  EXPECT_EQ(1, settings.GetArchivePeriod());
  EXPECT_EQ(1, settings.GetArchiveOn());

  // A damaged count beside the event subkeys reads the entries that exist.
  testKey.SetRaw("AlertandLog", "AlertLogEntryDetailsListNo", REG_BINARY, Bytes({0xFF, 0xFF, 0xFF, 0x7F}));
  testKey.SetRaw("AlertandLog\\EventAlert0", "ShowAlert", REG_BINARY, Bytes({1, 0, 0, 0}));
  settings.ReadFromKey(productKey);
  EXPECT_EQ(3, settings.GetEntryCount());
}

}  // namespace
