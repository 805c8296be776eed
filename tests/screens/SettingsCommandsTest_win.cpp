// Backup, restore and reset as the main window runs them: the questions answered
// on the real message box, the file dialogs replaced by a chosen file and the
// shell by the registry editor run to its end. What counts is what the next start
// reads, also when an interrupted save was left beside the product key.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "console/ConsoleResources.h"
#include "console/screens/SettingsCommands_win.h"
#include "console/settings/ConsoleSettings_win.h"
#include "console/settings/Languages_win.h"
#include "console/settings/store/RegistryStoreKey_win.h"
#include "console/settings/SettingsBackup_win.h"
#include "console/settings/store/SettingsStore_win.h"
#include "screens/ScreenUser_win.h"
#include "support/ChildProcess_win.h"
#include "support/TempFolder_win.h"

namespace {

enum : int { ID_MSG_CAPTION = 100, ID_MSG_TEXT = 101, ID_MSG_YES = 110, ID_MSG_NO = 111 };

class CChosenFileCommands : public CSettingsCommands {
 public:
  using CSettingsCommands::CSettingsCommands;
  std::string m_strFile;

 protected:
  bool ChooseBackupFile(std::string* pPath) override { return (*pPath = m_strFile), true; }
  bool ChooseRestoreFile(std::string* pPath) override { return (*pPath = m_strFile), true; }
  bool OpenWithShell(const std::string& strPath) override {
    char szWindows[MAX_PATH] = {};
    ::GetWindowsDirectoryA(szWindows, sizeof(szWindows));
    return RunChildPumping(std::string(szWindows) + "\\regedit.exe", "/s \"" + strPath + "\"") == 0;
  }
};

// A full save that stopped after its completion mark; the next start would
// install this copy, whose only setting is the blocked counter 7.
void LeaveInterruptedSave() {
  const std::int32_t nBlocked = 7;
  CRegistryStoreKey user(HKEY_CURRENT_USER);
  static_cast<void>(user.CreateSubKey((std::string(kCompanyKeyPath) + "\\Hookwarden.Saving\\Overview").c_str())
                        ->SetValue("NoOfBlockedInstructions", STORE_REG_BINARY, &nBlocked, 4));
  user.CreateSubKey((std::string(kCompanyKeyPath) + "\\Hookwarden.Complete").c_str());
}

// Language and blocked counter of the next start.
std::string NextStart() {
  CConsoleSettings next(BuiltAppFolder().c_str());
  WriteStartupValues(next);
  static_cast<void>(LoadSettings(next));
  return next.m_strLanguage + " " + std::to_string(next.m_overview.m_nNoOfBlockedInstructions);
}

class SettingsCommands : public ::testing::Test {
 protected:
  SettingsCommands() : m_app(BuiltAppFolder().c_str()), m_commands(m_app, nullptr) {}
  void SetUp() override {
    static_cast<void>(DeleteProductKey());
    WriteStartupValues(m_app);
    m_app.m_strLanguage = "GERMAN";
    m_app.m_overview.m_nNoOfBlockedInstructions = 3;
  }
  void TearDown() override { static_cast<void>(DeleteProductKey()); }

  // Runs a command whose question (string nTextId, title and blanks) gets nButton.
  int RunAsked(bool (CSettingsCommands::*pCommand)(), UINT nTextId, const char* szBlanks, int nButton) {
    const SUserRun run =
        RunWithUser([&] { return (m_commands.*pCommand)() ? 1 : 0; },
                    [&](CScreenUser& user) {
                      EXPECT_EQ(LoadLocalString(m_app, nTextId), user.Text(ID_MSG_TEXT));
                      EXPECT_EQ(LoadLocalString(m_app, IDS_APP_TITLE) + szBlanks, user.Text(ID_MSG_CAPTION));
                      user.Press(nButton);
                    });
    EXPECT_EQ("", run.strFailure);
    return run.nResult;
  }

  CTempFolder m_folder;
  CConsoleSettings m_app;
  CChosenFileCommands m_commands;
};

}  // namespace

TEST_F(SettingsCommands, ResetWinsOverAnInterruptedSaveAndNoChangesNothing) {
  ASSERT_EQ(RESULT_SUCCESS, SaveAllSettings(m_app).Code());
  LeaveInterruptedSave();
  EXPECT_EQ(0, RunAsked(&CSettingsCommands::Reset, IDS_RESET_QUESTION, kResetCaptionBlanks, ID_MSG_NO));
  EXPECT_EQ("GERMAN", m_app.m_strLanguage);
  EXPECT_EQ(1, RunAsked(&CSettingsCommands::Reset, IDS_RESET_QUESTION, kResetCaptionBlanks, ID_MSG_YES));
  EXPECT_EQ("English", m_app.m_strLanguage);
  EXPECT_EQ("English 0", NextStart());
}

TEST_F(SettingsCommands, RestoreBringsBackTheBackupOverAnInterruptedSave) {
  // The backup holds the state in memory: the full save comes first.
  m_commands.m_strFile = m_folder.Path() + "\\settings.reg";
  EXPECT_EQ(1, RunWithUser([&] { return m_commands.Backup() ? 1 : 0; }, [](CScreenUser&) {}).nResult);
  m_app.m_strLanguage = "ENGLISH";
  m_app.m_overview.m_nNoOfBlockedInstructions = 9;
  ASSERT_EQ(RESULT_SUCCESS, SaveAllSettings(m_app).Code());
  LeaveInterruptedSave();
  EXPECT_EQ(1, RunAsked(&CSettingsCommands::Restore, IDS_RESTORE_QUESTION, kRestoreCaptionBlanks, ID_MSG_YES));
  EXPECT_EQ("GERMAN 3", NextStart());

  // A backup file that cannot be made is reported and ends nothing.
  m_commands.m_strFile = m_folder.Path() + "\\missing\\settings.reg";
  const SUserRun run = RunWithUser([&] { return m_commands.Backup() ? 1 : 0; },
                                   [](CScreenUser& user) {
                                     EXPECT_EQ(kBackupOpenFailedText, user.Text(ID_MSG_TEXT));
                                     user.Key(0, VK_RETURN);
                                   });
  EXPECT_EQ(0, run.nResult);
}

TEST_F(SettingsCommands, BackupWhileLoggedInStoresALoggedOutStateAndKeepsTheLogin) {
  m_app.m_overview.m_strPassword = "83696782698449";
  m_app.m_overview.m_nIsLogin = 1;
  m_commands.m_strFile = m_folder.Path() + "\\settings.reg";
  EXPECT_EQ(1, RunWithUser([&] { return m_commands.Backup() ? 1 : 0; }, [](CScreenUser&) {}).nResult);
  EXPECT_EQ(1, m_app.m_overview.m_nIsLogin);
  std::ifstream file(m_commands.m_strFile, std::ios::binary);
  const std::string strBackup((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  EXPECT_NE(std::string::npos, strBackup.find("\r\n\"IsLogin\"=hex:00,00,00,00\r\n")) << strBackup;
}

// While an administrator requires a password and none is set, settings do not
// change: the command says why and makes nothing; once one is set, it runs.
TEST_F(SettingsCommands, RequiredPasswordHoldsSettingsUntilOneIsSet) {
  ASSERT_TRUE(m_app.m_policies.SetNumber(EPolicy::PasswordRequired, 1));
  m_commands.m_strFile = m_folder.Path() + "\\settings.reg";
  const SUserRun run = RunWithUser([&] { return m_commands.Backup() ? 1 : 0; },
                                   [&](CScreenUser& user) {
                                     EXPECT_EQ(LoadLocalString(m_app, IDS_PASSWORD_REQUIRED), user.Text(ID_MSG_TEXT));
                                     user.Key(0, VK_RETURN);
                                   });
  EXPECT_EQ(0, run.nResult);
  EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesA(m_commands.m_strFile.c_str()));

  m_app.m_overview.m_strPassword = "83696782698449";
  m_app.m_overview.m_nIsLogin = 1;
  EXPECT_EQ(1, RunWithUser([&] { return m_commands.Backup() ? 1 : 0; }, [](CScreenUser&) {}).nResult);
}
