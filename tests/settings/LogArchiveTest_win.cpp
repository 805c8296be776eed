// The start-up archive check writing real archive files.
#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "console/settings/LogArchive.h"
#include "console/settings/LogArchive_win.h"

namespace {

const SArchiveTexts TEXTS = {"Hookwarden", "1.0.0.1"};

SLocalTime Time(unsigned nMonth, unsigned nDay, unsigned nDayOfWeek, unsigned nHour = 14, unsigned nMinute = 5,
                unsigned nSecond = 9) {
  SLocalTime time;
  time.wYear = 2026;
  time.wMonth = static_cast<std::uint16_t>(nMonth);
  time.wDay = static_cast<std::uint16_t>(nDay);
  time.wDayOfWeek = static_cast<std::uint16_t>(nDayOfWeek);
  time.wHour = static_cast<std::uint16_t>(nHour);
  time.wMinute = static_cast<std::uint16_t>(nMinute);
  time.wSecond = static_cast<std::uint16_t>(nSecond);
  return time;
}

std::string ReadFile(const std::string& strPath) {
  std::ifstream file(strPath, std::ios::binary);
  std::ostringstream content;
  content << file.rdbuf();
  return content.str();
}

void WriteFile(const std::string& strPath, const std::string& strContent) {
  std::ofstream(strPath, std::ios::binary) << strContent;
}

std::vector<std::string> FilesIn(const std::string& strFolder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA data;
  HANDLE hFind = ::FindFirstFileA((strFolder + "\\*").c_str(), &data);
  if (hFind == INVALID_HANDLE_VALUE) return names;
  do {
    if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(data.cFileName);
  } while (::FindNextFileA(hFind, &data));
  ::FindClose(hFind);
  return names;
}

// A fresh application folder in the temporary folder, removed afterwards.
class LogArchiveTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char szTemp[MAX_PATH];
    ::GetTempPathA(sizeof(szTemp), szTemp);
    m_strApp = std::string(szTemp) + "hw-archive-" + std::to_string(::GetCurrentProcessId());
    Remove();
    ASSERT_TRUE(::CreateDirectoryA(m_strApp.c_str(), nullptr));
  }
  void TearDown() override { Remove(); }

  std::string Backup() const { return m_strApp + "\\LogBackup"; }

  void Remove() {
    for (const std::string& strFolder : {Backup(), m_strApp}) {
      for (const std::string& strName : FilesIn(strFolder)) ::DeleteFileA((strFolder + "\\" + strName).c_str());
      ::RemoveDirectoryA(strFolder.c_str());
    }
  }

  std::string m_strApp;
};

TEST_F(LogArchiveTest, PassedPeriodArchivesTheLogBehindItsHeader) {
  CAlertLogSettings settings(m_strApp, Time(12, 30, 3));
  // 450 bytes: two full chunks of 200 and a short one.
  std::string strLog;
  for (int i = 0; i < 450; ++i) strLog += static_cast<char>(i % 251);
  WriteFile(settings.GetLogFilePath(), strLog);

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
  WriteFile(settings.GetLogFilePath(), strLog);
  const std::string strPath = RunArchiveCheck(settings, m_strApp, Time(12, 7, 1), TEXTS);
  const std::string strContent = ReadFile(strPath);
  ASSERT_GE(strContent.size(), strLog.size());
  EXPECT_EQ(strLog, strContent.substr(strContent.size() - strLog.size()));
  EXPECT_EQ(std::string::npos, strContent.find("x\r\n"));
}

TEST_F(LogArchiveTest, SecondArchiveLandsBesideTheFirst) {
  CAlertLogSettings settings(m_strApp, Time(12, 1, 2));
  WriteFile(settings.GetLogFilePath(), "first");
  ASSERT_NE("", RunArchiveCheck(settings, m_strApp, Time(12, 7, 1), TEXTS));
  WriteFile(settings.GetLogFilePath(), "second");
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
  EXPECT_EQ(INVALID_FILE_ATTRIBUTES == ::GetFileAttributesA(strPath.c_str()), false);
  EXPECT_EQ("", ReadFile(strPath));
}

TEST_F(LogArchiveTest, ArchivingOffStillMovesTheStartTime) {
  CAlertLogSettings settings(m_strApp, Time(12, 1, 2));
  WriteFile(settings.GetLogFilePath(), "log");
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
  WriteFile(Backup(), "in the way");
  CAlertLogSettings settings(m_strApp, Time(12, 1, 2));
  EXPECT_EQ("", RunArchiveCheck(settings, m_strApp, Time(12, 7, 1), TEXTS));
  EXPECT_EQ(7, settings.GetArchiveStartTime().wDay);
  ::DeleteFileA(Backup().c_str());
}

TEST_F(LogArchiveTest, CurrentLocalTimeIsTheSystemsLocalTime) {
  SYSTEMTIME before;
  ::GetLocalTime(&before);
  const SLocalTime now = CurrentLocalTime();
  EXPECT_EQ(before.wYear, now.wYear);
  EXPECT_EQ(before.wMonth, now.wMonth);
  EXPECT_LE(now.wDayOfWeek, 6);
  EXPECT_EQ(sizeof(SYSTEMTIME), static_cast<std::size_t>(LOCAL_TIME_BYTES));
}

}  // namespace
