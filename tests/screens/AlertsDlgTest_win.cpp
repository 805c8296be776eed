// The alert and the alert display settings under Wine with their shipped movies:
// placement and growth, the keys, and what the screens hand back.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "console/screens/AlertsDlg_win.h"
#include "console/settings/ConsoleSettings_win.h"
#include "screens/ScreenUser_win.h"
#include "support/TempFolder_win.h"
#include "support/WaitUntil_win.h"

namespace {

enum : int {
  ID_WEB_REMEMBER = 305,
  ID_ALERT_ALLOW = 340,
  ID_ALERT_BLOCK = 341,
  ID_ALERT_MORE_INFO = 342,
  ID_SHOW_MAIL_ONLY = 410,
  ID_SHOW_WEB_ONLY = 411,
  ID_DISPLAY_OK = 420,
};

TEST(AlertsDlgTest, MoreInfoGrowsUpwardsFromTheCornerAndEscapeBlocks) {
  CConsoleSettings app(BuiltAppFolder().c_str());
  CAlertsDlg alert(app);
  alert.Fields().nAlertKind = ALERT_KIND_WEB;
  RECT rcShown = {}, rcGrown = {};
  const SUserRun run = RunWithUser([&] { return static_cast<int>(alert.DoModal()); },
                                   [&](CScreenUser& user) {
                                     user.WaitForControl(ID_ALERT_MORE_INFO);
                                     ::GetWindowRect(user.FindScreen(), &rcShown);
                                     user.Press(ID_ALERT_MORE_INFO);
                                     user.Press(ID_ALERT_MORE_INFO);
                                     user.Flush();
                                     ::GetWindowRect(user.FindScreen(), &rcGrown);
                                     user.Key(0, VK_ESCAPE);
                                   });
  EXPECT_EQ("", run.strFailure);
  EXPECT_EQ(2, run.nResult);
  EXPECT_EQ(0, alert.Fields().nRememberAnswer);
  // The full-screen client area's corner, within the work area (Wine's full-screen
  // height is taller than its screen).
  RECT rcWork = {};
  ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &rcWork, 0);
  const LONG nRight = std::min<LONG>(::GetSystemMetrics(SM_CXFULLSCREEN), rcWork.right);
  const LONG nBottom = std::min<LONG>(::GetSystemMetrics(SM_CYFULLSCREEN), rcWork.bottom);
  EXPECT_EQ(nRight, rcShown.right);
  EXPECT_EQ(nBottom, rcShown.bottom);
  EXPECT_EQ(rcShown.bottom - rcShown.top + 324, rcGrown.bottom - rcGrown.top);
  EXPECT_EQ(nRight, rcGrown.right);
  EXPECT_EQ(nBottom, rcGrown.bottom);
}

// Block has the focus and Enter blocks from anywhere but the Allow button itself.
TEST(AlertsDlgTest, EnterBlocksUnlessAllowHasTheFocus) {
  CConsoleSettings app(BuiltAppFolder().c_str());
  struct SCase {
    int nKeyOn;
    int nResult;
  } cases[] = {{ID_WEB_REMEMBER, 2}, {ID_ALERT_BLOCK, 2}, {ID_ALERT_ALLOW, 1}};
  for (const SCase& c : cases) {
    CAlertsDlg alert(app);
    alert.Fields().nAlertKind = ALERT_KIND_WEB;
    HWND hFocus = nullptr, hBlock = nullptr;
    const SUserRun run = RunWithUser([&] { return static_cast<int>(alert.DoModal()); },
                                     [&](CScreenUser& user) {
                                       hBlock = user.WaitForControl(ID_ALERT_BLOCK);
                                       WaitUntil([&] { return (hFocus = FocusOf(hBlock)) == hBlock; });
                                       user.Key(c.nKeyOn, VK_RETURN);
                                     });
    EXPECT_EQ("", run.strFailure);
    EXPECT_EQ(hBlock, hFocus);
    EXPECT_EQ(c.nResult, run.nResult) << "Enter on " << c.nKeyOn;
  }
}

// Tab goes from the remember box through the buttons as they stand, left to right.
TEST(AlertsDlgTest, TabFollowsTheButtonsAsTheyStand) {
  CConsoleSettings app(BuiltAppFolder().c_str());
  CAlertsDlg alert(app);
  alert.Fields().nAlertKind = ALERT_KIND_WEB;
  std::vector<int> order;
  const SUserRun run = RunWithUser([&] { return static_cast<int>(alert.DoModal()); },
                                   [&](CScreenUser& user) {
                                     HWND hControl = user.WaitForControl(ID_WEB_REMEMBER);
                                     for (int i = 0; i < 3 && hControl; ++i) {
                                       hControl = ::GetNextDlgTabItem(user.FindScreen(), hControl, FALSE);
                                       order.push_back(::GetDlgCtrlID(hControl));
                                     }
                                     user.Key(0, VK_ESCAPE);
                                   });
  EXPECT_EQ("", run.strFailure);
  EXPECT_EQ((std::vector<int>{ID_ALERT_MORE_INFO, ID_ALERT_BLOCK, ID_ALERT_ALLOW}), order);
}

TEST(AlertsDlgTest, DisplaySettingsHandBackTheChoiceOnlyAfterOk) {
  CConsoleSettings app(BuiltAppFolder().c_str());
  CLogCustomDlg dialog(app);
  dialog.m_nDisplayMailAlerts = 0;
  dialog.m_nDisplayWebAlerts = 1;
  SUserRun run = RunWithUser([&] { return static_cast<int>(dialog.DoModal()); },
                             [](CScreenUser& user) {
                               user.Press(ID_SHOW_MAIL_ONLY);
                               user.Key(0, VK_ESCAPE);
                             });
  EXPECT_EQ(2, run.nResult);
  EXPECT_EQ(0, dialog.m_nDisplayMailAlerts);
  EXPECT_EQ(1, dialog.m_nDisplayWebAlerts);

  run = RunWithUser([&] { return static_cast<int>(dialog.DoModal()); },
                    [](CScreenUser& user) {
                      user.Press(ID_SHOW_MAIL_ONLY);
                      user.Press(ID_DISPLAY_OK);
                    });
  EXPECT_EQ("", run.strFailure);
  EXPECT_EQ(1, run.nResult);
  EXPECT_EQ(1, dialog.m_nDisplayMailAlerts);
  EXPECT_EQ(0, dialog.m_nDisplayWebAlerts);
}

}  // namespace
