// The settings screens with the stand-in player and the shipped movies, used
// through their real controls.
#include <gtest/gtest.h>

#include <string>

#include "console/screens/SettingsDlgs_win.h"
#include "console/settings/ConsoleSettings_win.h"
#include "screens/ScreenUser_win.h"
#include "support/TempFolder_win.h"

namespace {

// Control ids of the shipped movies.
enum : int {
  ID_MAIL_ALLOW = 210,
  ID_WEB_BLOCK = 221,
  ID_ADV_OK = 250,
  ID_LOG_PATH = 210,
  ID_LOG_BROWSE = 211,
  ID_LOG_NEVER_FROM_OFF = 221,
  ID_LOG_NEVER = 222,
  ID_LOG_DAYS = 231,
  ID_LOG_OK = 250,
};

class CChosenLogFileDlg : public CLogAdvancedDlg {
 public:
  using CLogAdvancedDlg::CLogAdvancedDlg;

 protected:
  bool ChooseLogFile(std::string* pPath) override {
    *pPath = "D:\\Logs\\chosen.log";
    return true;
  }
};

class SettingsDlgsTest : public ::testing::Test {
 protected:
  SettingsDlgsTest() : m_app(BuiltAppFolder().c_str()) {}
  CConsoleSettings m_app;
};

}  // namespace

TEST_F(SettingsDlgsTest, SiteBlockingShowsOnlyItsOptionsAndReadsTheWebOption) {
  CAdvSettingsDlg dialog(m_app);
  dialog.m_nMode = ADVSET_MODE_SITE;
  dialog.m_nOption = 2;
  const SUserRun run = RunWithUser([&] { return static_cast<int>(dialog.DoModal()); },
                                   [](CScreenUser& user) {
                                     ASSERT_NE(nullptr, user.ShownControl(ID_WEB_BLOCK));
                                     EXPECT_EQ(nullptr, user.ShownControl(ID_MAIL_ALLOW));
                                     user.Press(ID_WEB_BLOCK);
                                     user.Press(ID_ADV_OK);
                                   });
  EXPECT_EQ("", run.strFailure);
  EXPECT_EQ(1, run.nResult);
  EXPECT_EQ(1, dialog.m_nOption);
}

TEST_F(SettingsDlgsTest, LogSettingsKeepThePeriodInEightBitsAndTurnArchivingOff) {
  CChosenLogFileDlg dialog(m_app);
  dialog.m_strLogFilePath = "C:\\Logs\\CVHookwarden.log";
  dialog.m_bArchivePeriod = 7;
  SUserRun run = RunWithUser([&] { return static_cast<int>(dialog.DoModal()); },
                             [](CScreenUser& user) {
                               EXPECT_EQ("C:\\Logs\\CVHookwarden.log", user.Text(ID_LOG_PATH));
                               EXPECT_EQ("7", user.Text(ID_LOG_DAYS));
                               user.Type(ID_LOG_DAYS, "300");
                               user.Press(ID_LOG_NEVER);  // the movie writes "FALSE"
                               user.Press(ID_LOG_BROWSE);
                               user.Flush();
                               EXPECT_EQ("D:\\Logs\\chosen.log", user.Text(ID_LOG_PATH));
                               user.Press(ID_LOG_OK);
                             });
  EXPECT_EQ("", run.strFailure);
  EXPECT_EQ(1, run.nResult);
  EXPECT_EQ(44, dialog.m_bArchivePeriod);
  EXPECT_EQ(0, dialog.m_nArchiveOn);
  EXPECT_EQ("D:\\Logs\\chosen.log", dialog.m_strLogFilePath);

  // Opened with archiving off, the movie shows it off; left alone, OK keeps it.
  run = RunWithUser([&] { return static_cast<int>(dialog.DoModal()); },
                    [](CScreenUser& user) {
                      EXPECT_NE(nullptr, user.ShownControl(ID_LOG_NEVER_FROM_OFF));
                      user.Press(ID_LOG_OK);
                    });
  EXPECT_EQ(1, run.nResult);
  EXPECT_EQ(0, dialog.m_nArchiveOn);
  EXPECT_EQ(44, dialog.m_bArchivePeriod);
}
