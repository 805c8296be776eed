// The screens under Wine with the stand-in player and the shipped movies: a second
// thread types into the real controls and presses them, and the tests check the
// modal results and what the screens hand back.
#include <gtest/gtest.h>

#include <atomic>

#include "console/ConsoleResources.h"
#include "console/screens/LoginCheck_win.h"
#include "console/screens/MsgBoxDlg_win.h"
#include "console/screens/PasswordDlg_win.h"
#include "console/settings/ConsoleSettings_win.h"
#include "console/settings/Languages_win.h"
#include "console/settings/NameCode.h"
#include "screens/ScreenUser_win.h"
#include "support/TempFolder_win.h"
#include "support/WaitUntil_win.h"

namespace {

// Control ids of the shipped movies.
enum : int {
  ID_MSG_CAPTION = 100,
  ID_MSG_TEXT = 101,
  ID_MSG_YES = 110,
  ID_MSG_NO = 111,
  ID_MSG_OK = 112,
  ID_LOGIN_PASSWORD = 210,
  ID_SET_NEW = 220,
  ID_SET_VERIFY = 221,
  ID_CHANGE_OLD = 230,
  ID_CHANGE_NEW = 231,
  ID_CHANGE_VERIFY = 232,
  ID_PASS_OK = 250,
  ID_PASS_CANCEL = 251,
};

class ScreensTest : public ::testing::Test {
 protected:
  ScreensTest() : m_app(BuiltAppFolder().c_str()) { s_pApp = &m_app; }
  ~ScreensTest() override { s_pApp = nullptr; }
  // The settings of the built application folder, for this test.
  static CConsoleSettings& App() { return *s_pApp; }

  static int RunMessage(const char* szText, int nFlags, CMsgBoxDlg* pBox = nullptr) {
    CMsgBoxDlg local(App());
    CMsgBoxDlg& box = pBox ? *pBox : local;
    box.m_strMessageText = szText;
    box.m_strCaption = "Question";
    box.m_nFlags = nFlags;
    return static_cast<int>(box.DoModal());
  }

  // Expects the message box with string nTextId and answers it with button nAnswer.
  static void Answer(CScreenUser& user, UINT nTextId, int nAnswer) {
    EXPECT_EQ(LoadLocalString(App(), nTextId), user.Text(ID_MSG_TEXT));
    user.Press(nAnswer);
  }

  CConsoleSettings m_app;
  static CConsoleSettings* s_pApp;
};

CConsoleSettings* ScreensTest::s_pApp = nullptr;

}  // namespace

TEST_F(ScreensTest, MovieFileLiesInTheScreenFolderUnderItsNameCode) {
  CTempFolder folder;
  EXPECT_EQ(folder.Path() + "\\74\\27648\\6566.hkx", BuildMoviePath(folder.c_str(), "AB", ".hkx"));
  EXPECT_TRUE(IsFolder(folder.Path() + "\\74"));
  EXPECT_TRUE(IsFolder(folder.Path() + "\\74\\27648"));
  EXPECT_EQ(folder.Path() + "\\74\\27648\\728780658383.hwf", BuildMoviePath(folder.c_str(), "HWPass", ".hwf"));
}

TEST_F(ScreensTest, QuestionEndsWithOneForYesAndTwoForNo) {
  SUserRun run = RunWithUser([] { return RunMessage("Really?", MSGBOX_FLAGS_YESNO); },
                             [](CScreenUser& user) {
                               EXPECT_EQ("Really?", user.Text(ID_MSG_TEXT));
                               EXPECT_EQ("Question", user.Text(ID_MSG_CAPTION));
                               EXPECT_EQ(nullptr, user.ShownControl(ID_MSG_OK));
                               user.Press(ID_MSG_YES);
                             });
  EXPECT_EQ("", run.strFailure);
  EXPECT_EQ(1, run.nResult);

  run = RunWithUser([] { return RunMessage("Really?", MSGBOX_FLAGS_YESNO); },
                    [](CScreenUser& user) { user.Press(ID_MSG_NO); });
  EXPECT_EQ("", run.strFailure);
  EXPECT_EQ(2, run.nResult);
}

TEST_F(ScreensTest, InformationHasOnlyOkAndKeysMapToOkAndCancel) {
  SUserRun run = RunWithUser([] { return RunMessage("Done.", MSGBOX_FLAGS_INFORMATION); },
                             [](CScreenUser& user) {
                               EXPECT_EQ(nullptr, user.ShownControl(ID_MSG_YES));
                               user.Press(ID_MSG_OK);
                             });
  EXPECT_EQ("", run.strFailure);
  EXPECT_EQ(1, run.nResult);

  // F1 and a right click change nothing; Escape cancels.
  run = RunWithUser([] { return RunMessage("Done.", MSGBOX_FLAGS_INFORMATION); },
                    [](CScreenUser& user) {
                      user.Key(ID_MSG_OK, VK_F1);
                      const HWND hOk = user.WaitForControl(ID_MSG_OK);
                      ::PostMessageA(hOk, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(2, 2));
                      ::PostMessageA(hOk, WM_RBUTTONUP, 0, MAKELPARAM(2, 2));
                      EXPECT_TRUE(user.Flush());
                      EXPECT_NE(nullptr, user.ShownControl(ID_MSG_OK));
                      user.Key(ID_MSG_OK, VK_ESCAPE);
                    });
  EXPECT_EQ("", run.strFailure);
  EXPECT_EQ(2, run.nResult);

  run = RunWithUser([] { return RunMessage("Done.", MSGBOX_FLAGS_INFORMATION); },
                    [](CScreenUser& user) { user.Key(ID_MSG_OK, VK_RETURN); });
  EXPECT_EQ(1, run.nResult);

  // A close request takes the Cancel path.
  run = RunWithUser([] { return RunMessage("Done.", MSGBOX_FLAGS_INFORMATION); },
                    [](CScreenUser& user) {
                      user.WaitForControl(ID_MSG_OK);
                      ::PostMessageA(user.FindScreen(), WM_CLOSE, 0, 0);
                    });
  EXPECT_EQ(2, run.nResult);
}

TEST_F(ScreensTest, MessageBoxTakesTheMoviesSizeKeepingItsCorner) {
  CMsgBoxDlg box(App());
  RECT rcShown = {};
  RECT rcSized = {};
  const SUserRun run = RunWithUser([&] { return RunMessage("Sized.", MSGBOX_FLAGS_INFORMATION, &box); },
                                   [&](CScreenUser& user) {
                                     const HWND hOk = user.WaitForControl(ID_MSG_OK);
                                     const HWND hScreen = user.FindScreen();
                                     ::GetWindowRect(hScreen, &rcShown);
                                     WaitUntil([&] {
                                       ::GetWindowRect(hScreen, &rcSized);
                                       return rcSized.right - rcSized.left == 330;
                                     });
                                     user.Press(ID_MSG_OK);
                                     (void)hOk;
                                   });
  EXPECT_EQ("", run.strFailure);
  EXPECT_EQ(330, rcSized.right - rcSized.left);
  EXPECT_EQ(150, rcSized.bottom - rcSized.top);
  EXPECT_EQ(330, box.Width());
  EXPECT_EQ(150, box.Height());
  EXPECT_EQ(rcShown.left, rcSized.left);
  EXPECT_EQ(rcShown.top, rcSized.top);
}

TEST_F(ScreensTest, DragCommandComesFromAPressOnTheStage) {
  class CCountingBox : public CMsgBoxDlg {
   public:
    using CMsgBoxDlg::CMsgBoxDlg;
    std::atomic<int> nDrags{0};

   protected:
    void StartDrag() override { ++nDrags; }
  } box(App());
  box.m_strMessageText = "Drag me";
  const SUserRun run = RunWithUser([&] { return static_cast<int>(box.DoModal()); },
                                   [&](CScreenUser& user) {
                                     const HWND hOk = user.WaitForControl(ID_MSG_OK);
                                     ::PostMessageA(::GetParent(hOk), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
                                     WaitUntil([&] { return box.nDrags > 0; });
                                     user.Press(ID_MSG_OK);
                                   });
  EXPECT_EQ("", run.strFailure);
  EXPECT_EQ(1, run.nResult);
  EXPECT_EQ(1, box.nDrags.load());
}

TEST_F(ScreensTest, ScreenWithoutMovieOpensEmptyAndEscapeEndsIt) {
  CTempFolder folder;
  CConsoleSettings app(folder.c_str());
  CMsgBoxDlg box(app);
  const SUserRun run = RunWithUser([&] { return RunMessage("Nothing", MSGBOX_FLAGS_INFORMATION, &box); },
                                   [](CScreenUser& user) {
                                     EXPECT_EQ(nullptr, user.ShownControl(ID_MSG_OK));
                                     user.Key(0, VK_ESCAPE);
                                   });
  EXPECT_EQ("", run.strFailure);
  EXPECT_EQ(2, run.nResult);
}

TEST_F(ScreensTest, WrongLoginKeepsTheScreenOpenWithTheFieldCleared) {
  CPasswordDlg dialog(App());
  dialog.m_strPassword = EncodeNameCode("Secret1");
  const SUserRun run = RunWithUser([&] { return static_cast<int>(dialog.DoModal()); },
                                   [](CScreenUser& user) {
                                     EXPECT_EQ(nullptr, user.ShownControl(ID_SET_NEW));
                                     user.Type(ID_LOGIN_PASSWORD, "secret2");
                                     user.Press(ID_PASS_OK);
                                     Answer(user, IDS_WRONG_PASSWORD, ID_MSG_OK);
                                     EXPECT_TRUE(WaitUntil([&] { return user.Text(ID_LOGIN_PASSWORD).empty(); }))
                                         << user.Text(ID_LOGIN_PASSWORD);
                                     // Enter runs the same check: no way past it unchecked.
                                     user.Type(ID_LOGIN_PASSWORD, "wrong");
                                     user.Key(ID_LOGIN_PASSWORD, VK_RETURN);
                                     Answer(user, IDS_WRONG_PASSWORD, ID_MSG_OK);
                                     user.Type(ID_LOGIN_PASSWORD, "SECRET1");
                                     user.Key(ID_LOGIN_PASSWORD, VK_RETURN);
                                   });
  EXPECT_EQ("", run.strFailure);
  EXPECT_EQ(1, run.nResult);
  EXPECT_EQ(EncodeNameCode("Secret1"), dialog.m_strPassword);
}

TEST_F(ScreensTest, NewPasswordRulesThenAcceptedWithVerifyInOtherCase) {
  CPasswordDlg dialog(App());
  dialog.m_nMode = PASSWORD_MODE_SET;
  const SUserRun run =
      RunWithUser([&] { return static_cast<int>(dialog.DoModal()); },
                  [](CScreenUser& user) {
                    for (const char* szBad : {"abcde", "abcdefghijklmnopqrstuvwxyz123456", "abc def"}) {
                      user.Type(ID_SET_NEW, szBad);
                      user.Type(ID_SET_VERIFY, szBad);
                      user.Press(ID_PASS_OK);
                      Answer(user, IDS_PASSWORD_RULES, ID_MSG_OK);
                      EXPECT_TRUE(WaitUntil([&] { return user.Text(ID_SET_NEW).empty(); })) << user.Text(ID_SET_NEW);
                    }
                    user.Type(ID_SET_NEW, "abcdef");
                    user.Type(ID_SET_VERIFY, "abcdeg");
                    user.Press(ID_PASS_OK);
                    Answer(user, IDS_PASSWORD_MISMATCH, ID_MSG_OK);
                    user.Type(ID_SET_NEW, "Letmein");
                    user.Type(ID_SET_VERIFY, "LETMEIN");
                    user.Press(ID_PASS_OK);
                  });
  EXPECT_EQ("", run.strFailure);
  EXPECT_EQ(1, run.nResult);
  EXPECT_EQ(EncodeNameCode("LETMEIN"), dialog.m_strPassword);
}

TEST_F(ScreensTest, SixAndThirtyOneCharactersAreAccepted) {
  for (const char* szGood : {"abcdef", "abcdefghijklmnopqrstuvwxyz12345"}) {
    CPasswordDlg dialog(App());
    dialog.m_nMode = PASSWORD_MODE_SET;
    const SUserRun run = RunWithUser([&] { return static_cast<int>(dialog.DoModal()); },
                                     [&](CScreenUser& user) {
                                       user.Type(ID_SET_NEW, szGood);
                                       user.Type(ID_SET_VERIFY, szGood);
                                       user.Press(ID_PASS_OK);
                                     });
    EXPECT_EQ("", run.strFailure) << szGood;
    EXPECT_EQ(1, run.nResult) << szGood;
    EXPECT_EQ(EncodeNameCode(szGood), dialog.m_strPassword) << szGood;
  }
}

TEST_F(ScreensTest, ChangingShowsTheOldFieldAndChecksIt) {
  CPasswordDlg dialog(App());
  dialog.m_nMode = PASSWORD_MODE_SET;  // with a stored password this becomes a change
  dialog.m_strPassword = EncodeNameCode("secret1");
  const SUserRun run = RunWithUser([&] { return static_cast<int>(dialog.DoModal()); },
                                   [](CScreenUser& user) {
                                     EXPECT_EQ(nullptr, user.ShownControl(ID_LOGIN_PASSWORD));
                                     user.Type(ID_CHANGE_OLD, "secret9");
                                     user.Type(ID_CHANGE_NEW, "newpass1");
                                     user.Type(ID_CHANGE_VERIFY, "newpass1");
                                     user.Press(ID_PASS_OK);
                                     Answer(user, IDS_WRONG_OLD_PASSWORD, ID_MSG_OK);
                                     // The player shows what the screen set at its next turn.
                                     EXPECT_TRUE(WaitUntil([&] { return user.Text(ID_CHANGE_OLD).empty(); }))
                                         << "old password field: \"" << user.Text(ID_CHANGE_OLD) << "\"";
                                     // A blank new password is asked about: No keeps the screen open.
                                     user.Type(ID_CHANGE_OLD, "SECRET1");
                                     user.Press(ID_PASS_OK);
                                     Answer(user, IDS_BLANK_PASSWORD_QUESTION, ID_MSG_NO);
                                     user.Type(ID_CHANGE_OLD, "secret1");
                                     user.Press(ID_PASS_OK);
                                     Answer(user, IDS_BLANK_PASSWORD_QUESTION, ID_MSG_YES);
                                   });
  EXPECT_EQ("", run.strFailure);
  EXPECT_EQ(1, run.nResult);
  EXPECT_EQ(PASSWORD_MODE_CHANGE, dialog.m_nMode);
  EXPECT_EQ("", dialog.m_strPassword);
}

TEST_F(ScreensTest, CancelEscapeAndCloseRequestNeverEndWithOk) {
  for (int nWay = 0; nWay < 3; ++nWay) {
    CPasswordDlg dialog(App());
    dialog.m_nMode = PASSWORD_MODE_SET;
    const SUserRun run = RunWithUser([&] { return static_cast<int>(dialog.DoModal()); },
                                     [&](CScreenUser& user) {
                                       user.Type(ID_SET_NEW, "abcdefg");
                                       user.Type(ID_SET_VERIFY, "abcdefg");
                                       if (nWay == 0) user.Press(ID_PASS_CANCEL);
                                       if (nWay == 1) user.Key(ID_SET_NEW, VK_ESCAPE);
                                       if (nWay == 2) ::PostMessageA(user.FindScreen(), WM_CLOSE, 0, 0);
                                     });
    EXPECT_EQ("", run.strFailure) << nWay;
    EXPECT_EQ(2, run.nResult) << nWay;
    EXPECT_EQ("", dialog.m_strPassword) << nWay;
  }
}

TEST_F(ScreensTest, LoginCheckAsksOnlyWhenAPasswordIsSet) {
  int nIsLogin = 0;
  SUserRun run = RunWithUser([&] { return CheckLogin(App(), nIsLogin, "") ? 1 : 0; },
                             [](CScreenUser& user) { EXPECT_TRUE(user.EndsWithoutScreen()); });
  EXPECT_EQ(1, run.nResult);
  EXPECT_EQ(0, nIsLogin);

  int nPushes = 0;
  CPasswordLoginPrompt::SetOverviewPush([&] { ++nPushes; });
  run = RunWithUser([&] { return CheckLogin(App(), nIsLogin, EncodeNameCode("secret1")) ? 1 : 0; },
                    [](CScreenUser& user) { user.Press(ID_PASS_CANCEL); });
  EXPECT_EQ(0, run.nResult);
  EXPECT_EQ(0, nIsLogin);
  run = RunWithUser([&] { return CheckLogin(App(), nIsLogin, EncodeNameCode("secret1")) ? 1 : 0; },
                    [](CScreenUser& user) {
                      user.Type(ID_LOGIN_PASSWORD, "Secret1");
                      user.Press(ID_PASS_OK);
                    });
  CPasswordLoginPrompt::SetOverviewPush(nullptr);
  EXPECT_EQ("", run.strFailure);
  EXPECT_EQ(1, run.nResult);
  EXPECT_EQ(1, nIsLogin);
  EXPECT_EQ(1, nPushes);
}

TEST_F(ScreensTest, LoginCheckUsesTheApplicationsSettings) {
  m_app.m_overview.m_strPassword = EncodeNameCode("secret1");
  m_app.m_overview.m_nIsLogin = 0;
  SUserRun run = RunWithUser([] { return CheckLogin(App()) ? 1 : 0; },
                             [](CScreenUser& user) {
                               user.Type(ID_LOGIN_PASSWORD, "SECRET1");
                               user.Press(ID_PASS_OK);
                             });
  EXPECT_EQ("", run.strFailure);
  EXPECT_EQ(1, run.nResult);
  EXPECT_EQ(1, m_app.m_overview.m_nIsLogin);
  // Logged in: no screen any more.
  run = RunWithUser([] { return CheckLogin(App()) ? 1 : 0; },
                    [](CScreenUser& user) { EXPECT_TRUE(user.EndsWithoutScreen()); });
  EXPECT_EQ(1, run.nResult);
}
