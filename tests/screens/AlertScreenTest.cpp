// The alert's and the alert display settings' exchange with their movies: labels,
// the answers behind the login check, and the display switches.
#include "console/screens/AlertScreen.h"

#include <gtest/gtest.h>

#include "screens/RecordingPlayer.h"

namespace {

TEST(AlertScreen, MailLabelsNameTheSourceOnlyForFromWithItsCase) {
  for (const char* szType : {"From", "Subject", "from"}) {
    CRecordingPlayer player;
    CAlertScreen screen(player, [] { return true; });
    screen.m_fields.nAlertKind = ALERT_KIND_MAIL;
    screen.m_fields.strMatchType = szType;
    screen.SendDetails();
    const bool bFrom = std::string(szType) == "From";
    EXPECT_EQ(bFrom ? "Phishing e-mail Source Address :" : "Phishing e-mail " + std::string(szType) + " :",
              player.values["_root.strSpamType"]);
    EXPECT_EQ(bFrom ? "an email from this Phishing Source Address" : "this Phishing e-mail " + std::string(szType),
              player.values["_root.strRememberAnswer"]);
  }
}

TEST(AlertScreen, BlockWithoutRememberNeedsNoLogin) {
  struct SCase {
    const char* szCommand;
    const char* szRemember;
    bool bLoginPasses;
    int nLoginChecks;
    SScreenReply::EKind eKind;
    int nResult;
    std::int32_t nRemember;
  };
  const SCase cases[] = {
      {"IDC_FS_BLOCK", "", false, 0, SScreenReply::End, SCREEN_RESULT_CANCEL, 0},
      {"IDC_FS_BLOCK", "1", false, 0, SScreenReply::End, SCREEN_RESULT_CANCEL, 0},
      {"IDC_FS_BLOCK", "TRUE", false, 1, SScreenReply::Handled, 0, 0},
      {"IDC_FS_BLOCK", "true", true, 1, SScreenReply::End, SCREEN_RESULT_CANCEL, 1},
      {"IDC_FS_ALLOW", "", false, 1, SScreenReply::Handled, 0, 0},
      {"IDC_FS_ALLOW", "True", true, 1, SScreenReply::End, SCREEN_RESULT_OK, 1},
  };
  for (const SCase& c : cases) {
    SCOPED_TRACE(std::string(c.szCommand) + " remember '" + c.szRemember + "'");
    CRecordingPlayer player;
    int nChecks = 0;
    CAlertScreen screen(player, [&] {
      ++nChecks;
      return c.bLoginPasses;
    });
    screen.SendStartVariables();
    player.Type("_root.bRememberAnswer", c.szRemember);
    const SScreenReply reply = screen.OnCommand(c.szCommand, "");
    EXPECT_EQ(c.nLoginChecks, nChecks);
    EXPECT_EQ(c.eKind, reply.eKind);
    if (reply.eKind == SScreenReply::End) {
      EXPECT_EQ(c.nResult, reply.nResult);
    }
    EXPECT_EQ(c.nRemember, screen.m_fields.nRememberAnswer);
  }
}

TEST(LogCustomScreen, SendsTheMailFlagAndCommandsChangeOnlyTheFields) {
  CRecordingPlayer player;
  CLogCustomScreen screen(player);
  screen.m_nDisplayMailAlerts = 0;
  screen.m_nDisplayWebAlerts = 1;
  screen.SendStartVariables();
  EXPECT_EQ("0", player.values["_root.displayTypeAlert"]);
  EXPECT_EQ(SScreenReply::Handled, screen.OnCommand("IDC_FS_DisplayMailAlert", "").eKind);
  EXPECT_EQ(1, screen.m_nDisplayMailAlerts);
  EXPECT_EQ(0, screen.m_nDisplayWebAlerts);
  screen.OnCommand("IDC_FS_clearAllAlerts", "");
  EXPECT_EQ(0, screen.m_nDisplayMailAlerts + screen.m_nDisplayWebAlerts);
  screen.OnCommand("IDC_FS_DisplayWebAlert", "");
  EXPECT_EQ(1, screen.m_nDisplayWebAlerts);
  EXPECT_EQ(0, screen.m_nDisplayMailAlerts);
  screen.OnCommand("IDC_FS_checkAllAlerts", "");
  EXPECT_EQ(2, screen.m_nDisplayMailAlerts + screen.m_nDisplayWebAlerts);
  EXPECT_EQ(SCREEN_RESULT_OK, screen.OnCommand("IDC_FS_OK", "").nResult);
  EXPECT_EQ(SCREEN_RESULT_CANCEL, screen.OnCommand("IDC_FS_CANCEL", "").nResult);
}

// The choice shown is the one in force, which the mail flag alone cannot tell.
TEST(LogCustomScreen, ShowsTheChoiceBothFlagsMake) {
  const struct {
    std::int32_t nMail, nWeb;
    const char* szShown;
  } cases[] = {{1, 1, "all"}, {1, 0, "mail"}, {0, 1, "web"}, {0, 0, "none"}};
  for (const auto& c : cases) {
    CRecordingPlayer player;
    CLogCustomScreen screen(player);
    screen.m_nDisplayMailAlerts = c.nMail;
    screen.m_nDisplayWebAlerts = c.nWeb;
    screen.SendStartVariables();
    EXPECT_EQ(c.szShown, player.values["_root.strShownAlerts"]) << "mail " << c.nMail << ", web " << c.nWeb;
  }
}

}  // namespace
