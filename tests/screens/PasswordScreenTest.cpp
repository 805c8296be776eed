// The password screen's rules against a scripted movie and scripted answers to its
// messages, and the login check.
#include <gtest/gtest.h>

#include "console/screens/LoginCheck.h"
#include "console/screens/PasswordScreen.h"
#include "console/settings/NameCode.h"
#include "screens/RecordingPlayer.h"

namespace {

const char kNew[] = "_root.strPasswordValue";
const char kVerify[] = "_root.strVerifyPassword";
const char kOld[] = "_root.strOldPasswordValue";

struct SShown {
  int nTextId, nCaptionId, nFlags;
  bool operator==(const SShown& o) const {
    return nTextId == o.nTextId && nCaptionId == o.nCaptionId && nFlags == o.nFlags;
  }
};

void PrintTo(const SShown& s, std::ostream* os) {
  *os << s.nTextId << "/" << s.nCaptionId << "/" << s.nFlags;
}

class CScriptedMessages : public IScreenMessages {
 public:
  int ShowMessage(int nTextId, int nCaptionId, int nFlags) override {
    shown.push_back({nTextId, nCaptionId, nFlags});
    return nAnswer;
  }
  std::vector<SShown> shown;
  int nAnswer = 1;
};

class PasswordScreenTest : public ::testing::Test {
 protected:
  // Opens the screen in a mode with a stored password given in plain text.
  void Open(int nMode, const char* szStored) {
    screen.m_nMode = nMode;
    screen.m_strPassword = szStored ? EncodeNameCode(szStored) : std::string();
    screen.SendStartVariables();
  }
  SScreenReply Enter(const char* szOld, const char* szNew, const char* szVerify) {
    player.Type(kOld, szOld);
    player.Type(kNew, szNew);
    player.Type(kVerify, szVerify);
    return screen.OnCommand("IDC_FS_LoginPassword", "");
  }
  void ExpectFieldsCleared() {
    EXPECT_EQ("", player.values[kNew]);
    EXPECT_EQ("", player.values[kVerify]);
    EXPECT_EQ("", player.values[kOld]);
  }

  CRecordingPlayer player;
  CScriptedMessages messages;
  CPasswordScreen screen{player, messages};
};

}  // namespace

TEST_F(PasswordScreenTest, StartUpClearsTheFieldsThenShowsTheModesLabel) {
  Open(PASSWORD_MODE_LOGIN, "secret1");
  const std::vector<std::string> expected = {"Set " + std::string(kNew) + "=", "Set " + std::string(kVerify) + "=",
                                             "Set " + std::string(kOld) + "=", "Goto _root:login"};
  EXPECT_EQ(expected, player.calls);
}

TEST_F(PasswordScreenTest, SettingWhileAPasswordExistsBecomesChanging) {
  Open(PASSWORD_MODE_SET, "secret1");
  EXPECT_EQ(PASSWORD_MODE_CHANGE, screen.m_nMode);
  EXPECT_EQ("Goto _root:changeps", player.calls.back());

  CRecordingPlayer otherPlayer;
  CPasswordScreen first(otherPlayer, messages);
  first.m_nMode = PASSWORD_MODE_SET;
  first.SendStartVariables();
  EXPECT_EQ(PASSWORD_MODE_SET, first.m_nMode);
  EXPECT_EQ("Goto _root:setps", otherPlayer.calls.back());
}

TEST_F(PasswordScreenTest, LoginMatchesInAnyLetterCase) {
  for (const char* szTyped : {"Secret1", "SECRET1", "secret1"}) {
    Open(PASSWORD_MODE_LOGIN, "Secret1");
    player.Type(kNew, szTyped);
    const SScreenReply reply = screen.OnCommand("idc_fs_loginpassword", "");
    EXPECT_EQ(SScreenReply::End, reply.eKind) << szTyped;
    EXPECT_EQ(1, reply.nResult) << szTyped;
  }
  EXPECT_TRUE(messages.shown.empty());
}

TEST_F(PasswordScreenTest, WrongLoginKeepsTheScreenOpenWithTheFieldCleared) {
  Open(PASSWORD_MODE_LOGIN, "secret1");
  player.Type(kNew, "secret2");
  const SScreenReply reply = screen.OkAction();
  EXPECT_EQ(SScreenReply::Handled, reply.eKind);
  ASSERT_EQ(1u, messages.shown.size());
  EXPECT_EQ((SShown{7003, 7004, 0}), messages.shown[0]);
  EXPECT_EQ("", player.values[kNew]);
  EXPECT_EQ(EncodeNameCode("secret1"), screen.m_strPassword);
}

TEST_F(PasswordScreenTest, CancelEndsWithTwoAndUnknownCommandsAreIgnored) {
  Open(PASSWORD_MODE_LOGIN, "secret1");
  EXPECT_EQ(SScreenReply::Ignored, screen.OnCommand("IDC_FS_OK", "").eKind);
  EXPECT_EQ(SScreenReply::Drag, screen.OnCommand("IDC_FS_drag", "").eKind);
  const SScreenReply reply = screen.OnCommand("IDC_FS_CANCELLOGINPASSWORD", "");
  EXPECT_EQ(SScreenReply::End, reply.eKind);
  EXPECT_EQ(2, reply.nResult);
}

TEST_F(PasswordScreenTest, NewPasswordLengthAndSpaces) {
  struct SCase {
    const char* szPassword;
    bool bAccepted;
  };
  const SCase cases[] = {
      {"abcde", false},
      {"abcdef", true},
      {"abcdefghijklmnopqrstuvwxyz12345", true},    // 31
      {"abcdefghijklmnopqrstuvwxyz123456", false},  // 32
      {"abc def", false},
      {"abcdefg{", false},    // '{' has a three-digit code and would not read back
      {"abcdef\xE9", false},  // nor a byte above 127
      {"Z9!#%&()*+-./:;<=>?@", true},
  };
  for (const SCase& c : cases) {
    CRecordingPlayer casePlayer;
    CScriptedMessages caseMessages;
    CPasswordScreen caseScreen(casePlayer, caseMessages);
    caseScreen.m_nMode = PASSWORD_MODE_SET;
    caseScreen.SendStartVariables();
    casePlayer.Type(kNew, c.szPassword);
    casePlayer.Type(kVerify, c.szPassword);
    const SScreenReply reply = caseScreen.OkAction();
    if (c.bAccepted) {
      EXPECT_EQ(SScreenReply::End, reply.eKind) << c.szPassword;
      EXPECT_EQ(EncodeNameCode(c.szPassword), caseScreen.m_strPassword) << c.szPassword;
      EXPECT_TRUE(MatchesStoredPassword(c.szPassword, caseScreen.m_strPassword)) << c.szPassword;
      EXPECT_TRUE(caseMessages.shown.empty()) << c.szPassword;
    } else {
      EXPECT_EQ(SScreenReply::Handled, reply.eKind) << c.szPassword;
      ASSERT_EQ(1u, caseMessages.shown.size()) << c.szPassword;
      EXPECT_EQ((SShown{7010, 7009, 0}), caseMessages.shown[0]) << c.szPassword;
      EXPECT_EQ("", caseScreen.m_strPassword) << c.szPassword;
      EXPECT_EQ("", casePlayer.values[kNew]) << c.szPassword;
      EXPECT_EQ("", casePlayer.values[kVerify]) << c.szPassword;
    }
  }
}

TEST_F(PasswordScreenTest, VerifyDifferingOnlyInCaseIsAccepted) {
  Open(PASSWORD_MODE_SET, nullptr);
  const SScreenReply reply = Enter("", "Secret1", "sECRET1");
  EXPECT_EQ(SScreenReply::End, reply.eKind);
  EXPECT_EQ(1, reply.nResult);
  EXPECT_EQ("83696782698449", screen.m_strPassword);
}

TEST_F(PasswordScreenTest, VerifyThatDiffersIsRefused) {
  Open(PASSWORD_MODE_SET, nullptr);
  EXPECT_EQ(SScreenReply::Handled, Enter("", "secret1", "secret2").eKind);
  ASSERT_EQ(1u, messages.shown.size());
  EXPECT_EQ((SShown{7008, 7009, 0}), messages.shown[0]);
  ExpectFieldsCleared();
  EXPECT_EQ("", screen.m_strPassword);
}

TEST_F(PasswordScreenTest, WrongOldPasswordKeepsTheOldOne) {
  Open(PASSWORD_MODE_CHANGE, "secret1");
  EXPECT_EQ(SScreenReply::Handled, Enter("secret9", "newpass1", "newpass1").eKind);
  ASSERT_EQ(1u, messages.shown.size());
  EXPECT_EQ((SShown{7005, 7006, 0}), messages.shown[0]);
  ExpectFieldsCleared();
  EXPECT_EQ(EncodeNameCode("secret1"), screen.m_strPassword);

  const SScreenReply reply = Enter("SECRET1", "newpass1", "newpass1");
  EXPECT_EQ(SScreenReply::End, reply.eKind);
  EXPECT_EQ(EncodeNameCode("newpass1"), screen.m_strPassword);
}

TEST_F(PasswordScreenTest, BlankPasswordAskedFirstNoKeepsOpenYesClears) {
  Open(PASSWORD_MODE_CHANGE, "secret1");
  messages.nAnswer = 2;
  // A blank new password is asked about before the verify entry is looked at.
  EXPECT_EQ(SScreenReply::Handled, Enter("secret1", "", "something").eKind);
  ASSERT_EQ(1u, messages.shown.size());
  EXPECT_EQ((SShown{7007, 7006, 3}), messages.shown[0]);
  ExpectFieldsCleared();
  EXPECT_EQ(EncodeNameCode("secret1"), screen.m_strPassword);

  messages.nAnswer = 1;
  const SScreenReply reply = Enter("secret1", "", "");
  EXPECT_EQ(SScreenReply::End, reply.eKind);
  EXPECT_EQ(1, reply.nResult);
  EXPECT_EQ("", screen.m_strPassword);
}

TEST_F(PasswordScreenTest, AnyOtherModeEndsWithOneAtOnce) {
  Open(7, nullptr);
  EXPECT_EQ("Set " + std::string(kOld) + "=", player.calls.back());  // no frame label for it
  const SScreenReply reply = screen.OkAction();
  EXPECT_EQ(SScreenReply::End, reply.eKind);
  EXPECT_EQ(1, reply.nResult);
}

namespace {

class CScriptedPrompt : public ILoginPrompt {
 public:
  int AskPassword(const std::string& strStored) override {
    asked.push_back(strStored);
    return nResult;
  }
  void PushOverview() override { ++nPushes; }
  std::vector<std::string> asked;
  int nResult = 1;
  int nPushes = 0;
};

}  // namespace

TEST(LoginCheck, PassesWithoutAScreenWhenLoggedInOrWithoutPassword) {
  CScriptedPrompt prompt;
  int nIsLogin = 0;
  EXPECT_TRUE(RunLoginCheck(nIsLogin, "", prompt));
  EXPECT_EQ(0, nIsLogin);
  nIsLogin = 1;
  EXPECT_TRUE(RunLoginCheck(nIsLogin, EncodeNameCode("secret1"), prompt));
  EXPECT_EQ(1, nIsLogin);
  EXPECT_TRUE(prompt.asked.empty());
  EXPECT_EQ(0, prompt.nPushes);
}

TEST(LoginCheck, AsksForTheStoredPasswordAndLogsInOnOk) {
  CScriptedPrompt prompt;
  int nIsLogin = 0;
  prompt.nResult = 2;
  EXPECT_FALSE(RunLoginCheck(nIsLogin, "83696782698449", prompt));
  EXPECT_EQ(0, nIsLogin);
  EXPECT_EQ(0, prompt.nPushes);
  prompt.nResult = 1;
  EXPECT_TRUE(RunLoginCheck(nIsLogin, "83696782698449", prompt));
  EXPECT_EQ(1, nIsLogin);
  EXPECT_EQ(1, prompt.nPushes);
  EXPECT_EQ((std::vector<std::string>{"83696782698449", "83696782698449"}), prompt.asked);
}
