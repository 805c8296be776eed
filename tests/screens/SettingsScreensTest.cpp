// The settings screens' exchange with a scripted movie: what they send at start,
// which variables OK reads and how the log settings' commands change the copies.
#include <gtest/gtest.h>

#include "console/screens/SettingsScreens.h"
#include "screens/RecordingPlayer.h"

namespace {

class CScriptedChooser : public ILogFileChooser {
 public:
  bool ChooseLogFile(std::string* pPath) override {
    ++nAsked;
    if (strChosen.empty()) return false;
    *pPath = strChosen;
    return true;
  }
  std::string strChosen;  // empty: the user cancels
  int nAsked = 0;
};

}  // namespace

TEST(SettingsScreens, ProtectionScreenShowsAndReadsOnlyItsModesOption) {
  CRecordingPlayer player;
  CAdvSettingsScreen mail(player);
  mail.m_nOption = 1;
  mail.SendStartVariables();
  EXPECT_EQ((std::vector<std::string>{"Goto _root:mailProtection", "Set _root.selectedMailOption=1"}), player.calls);
  player.Type("_root.selectedMailOption", "Ask");  // no digits
  player.calls.clear();
  const SScreenReply reply = mail.OnCommand("idc_fs_ok", "");
  EXPECT_EQ(SScreenReply::End, reply.eKind);
  EXPECT_EQ(SCREEN_RESULT_OK, reply.nResult);
  EXPECT_EQ(0, mail.m_nOption);
  EXPECT_EQ((std::vector<std::string>{"Get _root.selectedMailOption"}), player.calls);

  // Any other mode: no label, nothing read, the option stays; any number is taken.
  CRecordingPlayer other;
  CAdvSettingsScreen odd(other);
  odd.m_nMode = 5;
  odd.SendStartVariables();
  EXPECT_EQ(SCREEN_RESULT_OK, odd.OkAction().nResult);
  EXPECT_EQ(2, odd.m_nOption);
  EXPECT_TRUE(other.calls.empty());
  CAdvSettingsScreen site(other);
  site.m_nMode = ADVSET_MODE_SITE;
  other.Type("_root.selectedWebOption", "-7");
  site.OkAction();
  EXPECT_EQ(-7, site.m_nOption);
  EXPECT_EQ(SCREEN_RESULT_CANCEL, site.OnCommand("IDC_FS_CANCEL", "").nResult);
}

TEST(SettingsScreens, LogScreenSendsStateFormAndTakesTheMoviesValuesOnOk) {
  CRecordingPlayer player;
  CScriptedChooser chooser;
  CLogAdvancedScreen screen(player, chooser);
  screen.m_strLogFilePath = "C:\\Logs\\CVHookwarden.log";
  screen.m_bArchivePeriod = 7;
  screen.SendStartVariables();
  EXPECT_EQ((std::vector<std::string>{"Set _root.bArchiveLog=\x01", "Set _root.dayIntervalValue=7",
                                      "Set _root.strSelectedFileLocation=C:\\Logs\\CVHookwarden.log"}),
            player.calls);

  // Commands change the copies; OK reads the movie's values again.
  EXPECT_EQ(SScreenReply::Handled, screen.OnCommand("IDC_FS_dayStepper", "undefined").eKind);
  EXPECT_EQ(7, screen.m_bArchivePeriod);
  screen.OnCommand("IDC_FS_bArchiveLog_FALSE", "");
  EXPECT_EQ(0, screen.m_nArchiveOn);
  screen.OnCommand("IDC_FS_bArchiveLog_TRUE", "");
  EXPECT_EQ(1, screen.m_nArchiveOn);
  for (const char* szOn : {"true", "1", "x"}) {
    player.Type("_root.bArchiveLog", szOn);
    screen.m_nArchiveOn = 0;
    screen.OkAction();
    EXPECT_EQ(1, screen.m_nArchiveOn) << szOn;
  }
  player.Type("_root.bArchiveLog", "");
  screen.OkAction();
  EXPECT_EQ(0, screen.m_nArchiveOn);
  player.Type("_root.dayIntervalValue", "UNDEFINED");
  player.Type("_root.strSelectedFileLocation", "");
  EXPECT_EQ(SCREEN_RESULT_OK, screen.OkAction().nResult);
  EXPECT_EQ(7, screen.m_bArchivePeriod);
  EXPECT_EQ("", screen.m_strLogFilePath);

  // Browse: a cancelled dialog changes nothing; a chosen file goes to the movie.
  screen.m_strLogFilePath = "kept.log";
  player.calls.clear();
  screen.OnCommand("IDC_FS_Browse", "");
  EXPECT_EQ("kept.log", screen.m_strLogFilePath);
  EXPECT_TRUE(player.calls.empty());
  chooser.strChosen = "D:\\new.log";
  screen.OnCommand("IDC_FS_Browse", "");
  EXPECT_EQ(2, chooser.nAsked);
  EXPECT_EQ("D:\\new.log", screen.m_strLogFilePath);
  EXPECT_EQ((std::vector<std::string>{"Set _root.strSelectedFileLocation=D:\\new.log"}), player.calls);
  EXPECT_EQ(SCREEN_RESULT_CANCEL, screen.OnCommand("IDC_FS_Cancel", "").nResult);
}
