// The settings screens with the stand-in player and the shipped movies, used
// through their real controls.
#include <gtest/gtest.h>

#include "console/screens/SettingsDlgs_win.h"
#include "console/settings/ConsoleSettings_win.h"
#include "screens/ScreenUser_win.h"
#include "support/TempFolder_win.h"

namespace {

// Control ids of the shipped movies.
enum : int { ID_MAIL_ALLOW = 210, ID_WEB_BLOCK = 221, ID_LOG_NEVER = 222, ID_LOG_DAYS = 231, ID_OK = 250 };

}  // namespace

TEST(SettingsDlgs, SiteBlockingShowsOnlyItsOptionsAndReadsTheWebOption) {
  CConsoleSettings app(BuiltAppFolder().c_str());
  CAdvSettingsDlg dialog(app);
  dialog.m_nMode = ADVSET_MODE_SITE;
  const SUserRun run = RunWithUser([&] { return static_cast<int>(dialog.DoModal()); },
                                   [](CScreenUser& user) {
                                     ASSERT_NE(nullptr, user.ShownControl(ID_WEB_BLOCK));
                                     EXPECT_EQ(nullptr, user.ShownControl(ID_MAIL_ALLOW));
                                     user.Press(ID_WEB_BLOCK);
                                     user.Press(ID_OK);
                                   });
  EXPECT_EQ("", run.strFailure);
  EXPECT_EQ(1, run.nResult);
  EXPECT_EQ(1, dialog.m_nOption);
}

TEST(SettingsDlgs, LogSettingsKeepThePeriodInEightBitsAndTurnArchivingOff) {
  CConsoleSettings app(BuiltAppFolder().c_str());
  CLogAdvancedDlg dialog(app);
  dialog.m_bArchivePeriod = 7;
  const SUserRun run = RunWithUser([&] { return static_cast<int>(dialog.DoModal()); },
                                   [](CScreenUser& user) {
                                     EXPECT_EQ("7", user.Text(ID_LOG_DAYS));
                                     user.Type(ID_LOG_DAYS, "300");
                                     user.Press(ID_LOG_NEVER);  // the movie writes "FALSE"
                                     user.Press(ID_OK);
                                   });
  EXPECT_EQ("", run.strFailure);
  EXPECT_EQ(1, run.nResult);
  EXPECT_EQ(44, dialog.m_bArchivePeriod);
  EXPECT_EQ(0, dialog.m_nArchiveOn);
}

// Without a movie the screen reads no permission: Enter keeps the current one
// rather than turning it into Allow.
TEST(SettingsDlgs, EnterWithoutAMovieKeepsThePermission) {
  CTempFolder folder;
  CConsoleSettings app(folder.c_str());
  CAdvSettingsDlg dialog(app);
  dialog.m_nMode = ADVSET_MODE_SITE;
  dialog.m_nOption = 1;
  const SUserRun run = RunWithUser([&] { return static_cast<int>(dialog.DoModal()); },
                                   [](CScreenUser& user) {
                                     EXPECT_EQ(nullptr, user.ShownControl(ID_OK));
                                     user.Key(0, VK_RETURN);
                                   });
  EXPECT_EQ("", run.strFailure);
  EXPECT_EQ(1, run.nResult);
  EXPECT_EQ(1, dialog.m_nOption);
}
