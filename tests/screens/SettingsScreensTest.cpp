// The settings screens' exchange with a scripted movie: what they send at start
// and what OK and the log settings' commands take from it.
#include <gtest/gtest.h>

#include "console/screens/SettingsScreens.h"
#include "screens/RecordingPlayer.h"

namespace {

class CScriptedChooser : public ILogFileChooser {
 public:
  bool ChooseLogFile(std::string* pPath) override {
    *pPath = strChosen;
    return !strChosen.empty();
  }
  std::string strChosen;  // empty: the user cancels
};

}  // namespace

TEST(SettingsScreens, ProtectionScreenReadsOnlyItsModesOption) {
  CRecordingPlayer player;
  CAdvSettingsScreen mail(player);
  mail.m_nOption = 1;
  mail.SendStartVariables();
  player.Type("_root.selectedMailOption", "0");
  EXPECT_EQ(SCREEN_RESULT_OK, mail.OnCommand("idc_fs_ok", "").nResult);
  EXPECT_EQ(0, mail.m_nOption);
  EXPECT_EQ((std::vector<std::string>{"Goto _root:mailProtection", "Set _root.selectedMailOption=1",
                                      "Get _root.selectedMailOption"}),
            player.calls);
  // No number, or none of Allow, Block and Ask: the permission stays, never Allow.
  mail.m_nOption = 1;
  for (const char* szValue : {"", "Ask", "3", "-1", "undefined"}) {
    player.Type("_root.selectedMailOption", szValue);
    mail.OkAction();
    EXPECT_EQ(1, mail.m_nOption) << szValue;
  }

  // Any other mode: no label, nothing read, the option stays.
  CRecordingPlayer other;
  CAdvSettingsScreen odd(other);
  odd.m_nMode = 5;
  odd.SendStartVariables();
  EXPECT_EQ(SCREEN_RESULT_OK, odd.OkAction().nResult);
  EXPECT_EQ(2, odd.m_nOption);
  EXPECT_TRUE(other.calls.empty());
}

TEST(SettingsScreens, LogScreenSendsStateFormAndReadsTheMovieAgainOnOk) {
  CRecordingPlayer player;
  CScriptedChooser chooser;
  CLogAdvancedScreen screen(player, chooser);
  screen.m_bArchivePeriod = 7;
  screen.SendStartVariables();
  EXPECT_EQ("\x01", player.values["_root.bArchiveLog"]);
  EXPECT_EQ("7", player.values["_root.dayIntervalValue"]);

  screen.OnCommand("IDC_FS_dayStepper", "undefined");
  EXPECT_EQ(7, screen.m_bArchivePeriod);
  // The commands change the copy, but OK reads the movie's flag again.
  screen.OnCommand("IDC_FS_bArchiveLog_FALSE", "");
  EXPECT_EQ(0, screen.m_nArchiveOn);
  player.Type("_root.dayIntervalValue", "UNDEFINED");
  screen.OkAction();
  EXPECT_EQ(1, screen.m_nArchiveOn);
  EXPECT_EQ(7, screen.m_bArchivePeriod);
  player.Type("_root.bArchiveLog", "");
  screen.OkAction();
  EXPECT_EQ(0, screen.m_nArchiveOn);
  // A movie without the values leaves the path and the period; so do 0 days.
  screen.m_strLogFilePath = "C:\\kept.log";
  player.values.erase("_root.strSelectedFileLocation");
  player.Type("_root.dayIntervalValue", "");
  screen.OkAction();
  EXPECT_EQ("C:\\kept.log", screen.m_strLogFilePath);
  EXPECT_EQ(7, screen.m_bArchivePeriod);
  screen.OnCommand("IDC_FS_dayStepper", "256");
  screen.OnCommand("IDC_FS_dayStepper", "days");
  EXPECT_EQ(7, screen.m_bArchivePeriod);
  screen.OnCommand("IDC_FS_dayStepper", "300");
  EXPECT_EQ(44, screen.m_bArchivePeriod);

  // Browse: a cancelled dialog leaves the path; a chosen one goes to the movie too.
  screen.m_strLogFilePath = "kept.log";
  screen.OnCommand("IDC_FS_Browse", "");
  EXPECT_EQ("kept.log", screen.m_strLogFilePath);
  chooser.strChosen = "D:\\new.log";
  screen.OnCommand("IDC_FS_Browse", "");
  EXPECT_EQ("D:\\new.log", screen.m_strLogFilePath);
  EXPECT_EQ("D:\\new.log", player.values["_root.strSelectedFileLocation"]);
}

TEST(SettingsScreens, LogScreenKeepsArchiveAndPeriodAnAdministratorHolds) {
  CRecordingPlayer player;
  CScriptedChooser chooser;
  CLogAdvancedScreen screen(player, chooser);
  screen.m_nArchiveOn = 1;
  screen.m_bArchivePeriod = 30;
  screen.m_bArchiveByPolicy = true;
  screen.SendStartVariables();
  EXPECT_EQ("\x01", player.values["_root.bArchiveByPolicy"]);
  // Neither the movie's commands nor what it holds at OK change them; the path may change.
  screen.OnCommand("IDC_FS_bArchiveLog_FALSE", "");
  screen.OnCommand("IDC_FS_dayStepper", "2");
  player.Type("_root.bArchiveLog", "");
  player.Type("_root.strSelectedFileLocation", "D:\\own.log");
  EXPECT_EQ(SCREEN_RESULT_OK, screen.OkAction().nResult);
  EXPECT_EQ(1, screen.m_nArchiveOn);
  EXPECT_EQ(30, screen.m_bArchivePeriod);
  EXPECT_EQ("D:\\own.log", screen.m_strLogFilePath);
}
