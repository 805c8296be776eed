// The start-up archive check writing real archive files.
#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "console/settings/LogArchive.h"
#include "console/settings/LogArchive_win.h"
#include "settings/ArchiveTime.h"
#include "support/TempFolder_win.h"

namespace {

const SArchiveTexts TEXTS = {"Hookwarden", "1.0.0.1"};

// Archive checks run at 14:05:09 unless a test says otherwise.
SLocalTime Time(unsigned nMonth, unsigned nDay, unsigned nDayOfWeek, unsigned nHour = 14, unsigned nMinute = 5,
                unsigned nSecond = 9) {
  return ArchiveTime(nMonth, nDay, nDayOfWeek, nHour, nMinute, nSecond);
}

std::string ReadFile(const std::string& strPath) {
  std::ifstream file(strPath, std::ios::binary);
  std::ostringstream content;
  content << file.rdbuf();
  return content.str();
}

std::vector<std::string> FilesIn(const std::string& strFolder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA data;
  CFindClose search(::FindFirstFileA((strFolder + "\\*").c_str(), &data));
  if (!search) return names;
  do {
    if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(data.cFileName);
  } while (::FindNextFileA(search.Get(), &data));
  return names;
}

// A fresh application folder, removed afterwards.
class LogArchiveTest : public ::testing::Test {
 protected:
  std::string Backup() const { return m_folder.Path() + "\\LogBackup"; }

  CTempFolder m_folder;
  const std::string m_strApp = m_folder.Path();
};

TEST_F(LogArchiveTest, PassedPeriodArchivesTheLogBehindItsHeader) {
  CAlertLogSettings settings(m_strApp, Time(12, 30, 3));
  // 450 bytes: two full chunks of 200 and a short one.
  std::string strLog;
  for (int i = 0; i < 450; ++i) strLog += static_cast<char>(i % 251);
  WriteFileBytes(settings.GetLogFilePath(), strLog);

  const SLocalTime now = Time(1, 5, 2);
  const std::string strPath = RunArchiveCheck(settings, m_strApp, now, TEXTS);
  EXPECT_EQ(Backup() + "\\05_Tuesday_January_14_05_09.bda", strPath);
  EXPECT_EQ(
      "Appliction Name: Hookwarden\r\nVersion: 1.0.0.1\r\nFile Name: 05_Tuesday_January_14_05_09.bda\r\n" + strLog,
      ReadFile(strPath));
  EXPECT_EQ(strLog, ReadFile(settings.GetLogFilePath()));  // the log is left as it was
  EXPECT_EQ(1, settings.GetArchiveStartTime().wMonth);
  EXPECT_EQ(5, settings.GetArchiveStartTime().wDay);

  // The next start on the same day archives nothing.
  EXPECT_EQ("", RunArchiveCheck(settings, m_strApp, Time(1, 5, 2, 18), TEXTS));
  EXPECT_EQ(1u, FilesIn(Backup()).size());
}

TEST_F(LogArchiveTest, LogOfWholeChunksIsCopiedWhole) {
  CAlertLogSettings settings(m_strApp, Time(12, 6, 0));
  const std::string strLog(400, 'x');
  WriteFileBytes(settings.GetLogFilePath(), strLog);
  const std::string strPath = RunArchiveCheck(settings, m_strApp, Time(12, 7, 1), TEXTS);
  const std::string strContent = ReadFile(strPath);
  ASSERT_GE(strContent.size(), strLog.size());
  EXPECT_EQ(strLog, strContent.substr(strContent.size() - strLog.size()));
  EXPECT_EQ(std::string::npos, strContent.find("x\r\n"));
}

TEST_F(LogArchiveTest, SecondArchiveLandsBesideTheFirst) {
  CAlertLogSettings settings(m_strApp, Time(12, 1, 2));
  WriteFileBytes(settings.GetLogFilePath(), "first");
  ASSERT_NE("", RunArchiveCheck(settings, m_strApp, Time(12, 7, 1), TEXTS));
  WriteFileBytes(settings.GetLogFilePath(), "second");
  const std::string strSecond = RunArchiveCheck(settings, m_strApp, Time(12, 8, 2, 9, 0, 0), TEXTS);
  EXPECT_EQ(Backup() + "\\08_Tuesday_December_09_00_00.bda", strSecond);
  EXPECT_EQ(2u, FilesIn(Backup()).size());
  EXPECT_NE(std::string::npos, ReadFile(Backup() + "\\07_Monday_December_14_05_09.bda").find("first"));
  EXPECT_NE(std::string::npos, ReadFile(strSecond).find("second"));
}

TEST_F(LogArchiveTest, MissingLogGivesAnEmptyArchive) {
  CAlertLogSettings settings(m_strApp, Time(12, 1, 2));
  const std::string strPath = RunArchiveCheck(settings, m_strApp, Time(12, 7, 1), TEXTS);
  ASSERT_NE("", strPath);
  EXPECT_NE(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesA(strPath.c_str()));
  EXPECT_EQ("", ReadFile(strPath));
}

TEST_F(LogArchiveTest, ArchivingOffStillMovesTheStartTime) {
  CAlertLogSettings settings(m_strApp, Time(12, 1, 2));
  WriteFileBytes(settings.GetLogFilePath(), "log");
  settings.SetLogFileSettings(settings.GetLogFilePath(), 0, 3);
  EXPECT_EQ("", RunArchiveCheck(settings, m_strApp, Time(12, 7, 1), TEXTS));
  EXPECT_EQ(7, settings.GetArchiveStartTime().wDay);
  EXPECT_TRUE(FilesIn(Backup()).empty());

  // Period not yet passed: the start time stays.
  settings.SetLogFileSettings(settings.GetLogFilePath(), 1, 3);
  EXPECT_EQ("", RunArchiveCheck(settings, m_strApp, Time(12, 9, 3), TEXTS));
  EXPECT_EQ(7, settings.GetArchiveStartTime().wDay);
}

TEST_F(LogArchiveTest, UncreatableArchiveIsSilent) {
  // A file where the folder should be: neither folder nor archive can be made.
  WriteFileBytes(Backup(), "in the way");
  CAlertLogSettings settings(m_strApp, Time(12, 1, 2));
  EXPECT_EQ("", RunArchiveCheck(settings, m_strApp, Time(12, 7, 1), TEXTS));
  EXPECT_EQ(7, settings.GetArchiveStartTime().wDay);
  ::DeleteFileA(Backup().c_str());
}

}  // namespace
