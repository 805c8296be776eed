// Backup, restore and reset as the main window runs them: the questions answered
// on the real message box, the file dialogs and the shell replaced by a chosen
// file and the registry editor run to its end. What counts is what the next start
// reads, also when an interrupted save was left beside the product key.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "console/ConsoleResources.h"
#include "console/screens/SettingsCommands_win.h"
#include "console/settings/ConsoleSettings_win.h"
#include "console/settings/Languages_win.h"
#include "console/settings/RegistryStoreKey_win.h"
#include "console/settings/SettingsBackup_win.h"
#include "console/settings/SettingsStore_win.h"
#include "screens/ScreenUser_win.h"
#include "support/ChildProcess_win.h"
#include "support/TempFolder_win.h"

namespace {

enum : int { ID_MSG_CAPTION = 100, ID_MSG_TEXT = 101, ID_MSG_YES = 110, ID_MSG_NO = 111 };

class CChosenFileCommands : public CSettingsCommands {
 public:
  using CSettingsCommands::CSettingsCommands;
  std::string m_strFile;  // what both file dialogs return; empty: the user cancelled

 protected:
  bool ChooseBackupFile(std::string* pPath) override { return Choose(pPath); }
  bool ChooseRestoreFile(std::string* pPath) override { return Choose(pPath); }
  // The registry editor as the shell starts it, without its own question.
  bool OpenWithShell(const std::string& strPath) override {
    char szWindows[MAX_PATH] = {};
    ::GetWindowsDirectoryA(szWindows, sizeof(szWindows));
    return RunChildPumping(std::string(szWindows) + "\\regedit.exe", "/s \"" + strPath + "\"") == 0;
  }

 private:
  bool Choose(std::string* pPath) {
    *pPath = m_strFile;
    return !m_strFile.empty();
  }
};

// A full save that stopped after its completion mark: the next start would
// install this copy, whose only setting is the blocked counter.
void LeaveInterruptedSave(std::int32_t nBlocked) {
  CRegistryStoreKey user(HKEY_CURRENT_USER);
  const std::string strSaving = std::string(kCompanyKeyPath) + "\\Hookwarden.Saving\\Overview";
  user.CreateSubKey(strSaving.c_str())->WriteValue("NoOfBlockedInstructions", STORE_REG_BINARY, &nBlocked, 4);
  user.CreateSubKey((std::string(kCompanyKeyPath) + "\\Hookwarden.Complete").c_str());
}

// The settings of the next start.
std::string NextStart(std::int32_t* pnBlocked) {
  CConsoleSettings next(BuiltAppFolder().c_str());
  WriteStartupValues(next);
  LoadSettings(next);
  *pnBlocked = next.m_overview.m_nNoOfBlockedInstructions;
  return next.m_strLanguage;
}

// Answers the question with string nTextId and caption title + blanks.
std::function<void(CScreenUser&)> Answer(const CConsoleSettings& app, UINT nTextId, const char* szBlanks, int nButton) {
  return [&app, nTextId, szBlanks, nButton](CScreenUser& user) {
    EXPECT_EQ(LoadLocalString(app, nTextId), user.Text(ID_MSG_TEXT));
    EXPECT_EQ(LoadLocalString(app, IDS_APP_TITLE) + szBlanks, user.Text(ID_MSG_CAPTION));
    user.Press(nButton);
  };
}

class SettingsCommands : public ::testing::Test {
 protected:
  SettingsCommands() : m_app(BuiltAppFolder().c_str()), m_commands(m_app, nullptr) {}
  void SetUp() override {
    DeleteProductKey();
    WriteStartupValues(m_app);
  }
  void TearDown() override { DeleteProductKey(); }

  CTempFolder m_folder;
  CConsoleSettings m_app;
  CChosenFileCommands m_commands;
};

}  // namespace

TEST_F(SettingsCommands, ResetWinsOverAnInterruptedSaveAndNoChangesNothing) {
  m_app.m_strLanguage = "GERMAN";
  m_app.m_overview.m_nNoOfBlockedInstructions = 5;
  ASSERT_TRUE(SaveAllSettings(m_app));
  LeaveInterruptedSave(7);

  SUserRun run = RunWithUser([this] { return m_commands.Reset() ? 1 : 0; },
                             Answer(m_app, IDS_RESET_QUESTION, kResetCaptionBlanks, ID_MSG_NO));
  EXPECT_EQ("", run.strFailure);
  EXPECT_EQ(0, run.nResult);
  EXPECT_EQ("GERMAN", m_app.m_strLanguage);

  run = RunWithUser([this] { return m_commands.Reset() ? 1 : 0; },
                    Answer(m_app, IDS_RESET_QUESTION, kResetCaptionBlanks, ID_MSG_YES));
  EXPECT_EQ("", run.strFailure);
  EXPECT_EQ(1, run.nResult);
  EXPECT_EQ("English", m_app.m_strLanguage);
  std::int32_t nBlocked = -1;
  EXPECT_EQ("English", NextStart(&nBlocked));
  EXPECT_EQ(0, nBlocked);
}

TEST_F(SettingsCommands, RestoreBringsBackTheBackupOverAnInterruptedSave) {
  // The backup holds the state in memory, saved first.
  m_app.m_strLanguage = "GERMAN";
  m_app.m_overview.m_nNoOfBlockedInstructions = 3;
  m_commands.m_strFile = m_folder.Path() + "\\settings.reg";
  SUserRun run = RunWithUser([this] { return m_commands.Backup() ? 1 : 0; },
                             [](CScreenUser& user) { EXPECT_TRUE(user.EndsWithoutScreen()); });
  EXPECT_EQ(1, run.nResult);

  m_app.m_strLanguage = "ENGLISH";
  m_app.m_overview.m_nNoOfBlockedInstructions = 9;
  ASSERT_TRUE(SaveAllSettings(m_app));
  LeaveInterruptedSave(7);
  run = RunWithUser([this] { return m_commands.Restore() ? 1 : 0; },
                    Answer(m_app, IDS_RESTORE_QUESTION, kRestoreCaptionBlanks, ID_MSG_YES));
  EXPECT_EQ("", run.strFailure);
  EXPECT_EQ(1, run.nResult);
  std::int32_t nBlocked = -1;
  EXPECT_EQ("GERMAN", NextStart(&nBlocked));
  EXPECT_EQ(3, nBlocked);

  // A backup file that cannot be made is reported and ends nothing.
  m_commands.m_strFile = m_folder.Path() + "\\missing\\settings.reg";
  run = RunWithUser([this] { return m_commands.Backup() ? 1 : 0; },
                    [](CScreenUser& user) {
                      EXPECT_EQ(kBackupOpenFailedText, user.Text(ID_MSG_TEXT));
                      user.Key(0, VK_RETURN);
                    });
  EXPECT_EQ("", run.strFailure);
  EXPECT_EQ(0, run.nResult);
}
