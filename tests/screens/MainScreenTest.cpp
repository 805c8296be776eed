// The main screen's exchange with a recording movie: the overview, the rows and
// their feed, and the commands' login, index and "undefined" rules.
#include <gtest/gtest.h>

#include "console/screens/MainScreen.h"
#include "console/screens/ScreenText.h"
#include "screens/RecordingPlayer.h"
#include "screens/ScriptedMainScreenServices.h"

namespace {

struct SFixture {
  CMailSafeList mailList;
  CWebSiteBlockingList siteList;
  CAlertLogSettings alertLog;
  std::int32_t anCounters[4] = {7, 0, 3, 4};
  std::int32_t nStartup = 1, nSplash = 0, nLogin = 0;
  std::string strPassword, strLanguage = "English", strApp = "1.0", strEngine = "2.0", strDefs = "3.0";
  CRecordingPlayer player;
  CScriptedMainScreenServices services;
  CMainScreen screen{
      player,
      SMainScreenState{mailList, siteList, alertLog, anCounters[0], anCounters[1], anCounters[2], anCounters[3],
                       nStartup, nSplash, nLogin, strPassword, strLanguage, strApp, strEngine, strDefs},
      services};

  SFixture() {
    for (int i = 0; i < 3; ++i) {
      CMailSafeItem mail;
      mail.strStrictedData = "m" + std::to_string(i);
      mail.nPort = 25;
      mailList.AppendEntry(mail);
      CWebSiteItem site;
      site.strStrictedData = "s" + std::to_string(i);
      siteList.AppendEntry(site);
    }
  }
};

}  // namespace

TEST(MainScreen, OverviewSendsItsVariablesInOrderWithTheHighRatingRecounted) {
  SFixture f;
  CLogEntryDetails entry;
  entry.rating = RatingOfStoredText("HIGH");
  f.alertLog.AppendEntry(entry);
  f.siteList.SetProtectionState(0);
  f.alertLog.SetLogViewStep(40000);
  f.screen.PushOverview();
  const std::vector<std::string> expected = {
      "Set _root.dwNoOfBlockedInstructions=7",
      "Set _root.dwNoOfBlockedInstructionsHaveHighRating=1",
      "Set _root.dwNoOfEmailProtection=3",
      "Set _root.dwNoOfWebProtection=4",
      "Set _root.bWebSiteBlockingProtectionState=",
      "Set _root.bEnabledAdvweb=0",
      "Set _root.advWebInterval=1",
      "Set _root.bMailSafeProtectionState=\x01",
      "Set _root.bEnabledAdvMail=1",
      "Set _root.advMailInterval=1",
      "Set _root.strApplicationVersion=1.0",
      "Set _root.strTessalineSecurityEngineVersion=2.0",
      "Set _root.strTessalineDefinitionVersion=3.0",
      "Set _root.bLoadwithWindowsStartup=\x01",
      "Set _root.bLoadSplashScreen=",
      "Set _root.bIsLogin=",
      "Set _root.bIsPasswordEntered=",
      "Set _root.strCurrentLanguage=English",
      "Set _root.languageOptions=English|Deutsch",
      "Set _root.bLanguageChanged=true",
      "Set _root.enumAlertEventsLevel=0",
      "Set _root.LogViewerStepper=40000",
  };
  EXPECT_EQ(expected, f.player.calls);
  EXPECT_EQ(1, f.anCounters[1]);
}

TEST(MainScreen, ListCommandsFollowTheirIndexUndefinedAndLoginRules) {
  SFixture f;
  f.services.bLoginPasses = false;
  f.screen.OnCommand("IDC_FS_mailListItemBlock", "3");  // past the end
  f.screen.OnCommand("IDC_FS_mailListItemBlock", "-1");
  f.screen.OnCommand("IDC_FS_mailListItemRemove", "undefined");
  for (int i = 0; i < 3; ++i) EXPECT_EQ(PERMISSION_ASK, f.mailList.EntryAt(i)->nAction) << i;
  EXPECT_EQ(3, f.mailList.GetCount());
  f.screen.OnCommand("IDC_FS_mailListItemBlock", "0");  // no login for mail rows
  EXPECT_EQ(PERMISSION_BLOCK, f.mailList.EntryAt(0)->nAction);
  EXPECT_EQ(0, f.services.nLoginChecks);
  f.screen.OnCommand("IDC_FS_siteListItemBlock", "0");  // refused login
  EXPECT_EQ(1, f.services.nLoginChecks);
  EXPECT_EQ(PERMISSION_ASK, f.siteList.EntryAt(0)->nAction);
  f.services.bLoginPasses = true;
  f.screen.OnCommand("idc_fs_sitelistitemallow", "2");
  EXPECT_EQ(PERMISSION_ALLOW, f.siteList.EntryAt(2)->nAction);
  f.screen.OnCommand("IDC_FS_mailListItemRemove", "0");
  EXPECT_EQ("m1", f.mailList.EntryAt(0)->strStrictedData);
  f.screen.OnCommand("IDC_FS_siteListItemRemoveAll", "undefined");
  EXPECT_EQ(0, f.siteList.GetCount());
  // The movie removes its own rows; an action shows the console's text in its row,
  // also the unchanged one after a refused login.
  const std::vector<std::string> expected = {
      "Set _root.MailScamUpdatedItemValue=T7017",      "Set _root.MailScamUpdatedItemIndex=0",
      "Set _root.strScamMailOperation=Update",         "Set _root.WebProtectionUpdatedItemValue=T7018",
      "Set _root.WebProtectionUpdatedItemIndex=0",     "Set _root.strScamSiteOperation=Update",
      "Set _root.WebProtectionUpdatedItemValue=T7016", "Set _root.WebProtectionUpdatedItemIndex=2",
      "Set _root.strScamSiteOperation=Update"};
  EXPECT_EQ(expected, f.player.calls);
}

TEST(MainScreen, DetailsAreClearedByUndefinedAndSkippedOutsideTheList) {
  SFixture f;
  f.screen.OnCommand("IDC_FS_UpdateEntryDetailsMailListItem", "undefined");
  EXPECT_EQ(7u, f.player.calls.size());
  EXPECT_EQ("Set ScamFromMailEntryDetSItem.EntryValue=", f.player.calls[1]);
  f.player.calls.clear();
  f.screen.OnCommand("IDC_FS_UpdateEntryDetailsWebListItem", "3");
  EXPECT_TRUE(f.player.calls.empty());
  f.screen.OnCommand("IDC_FS_UpdateEntryDetailsMailListItem", "1");
  EXPECT_EQ("Set _root.ScamProtocolMailEntryDetSItem.EntryValue=SMTP", f.player.calls.back());
}

TEST(MainScreen, SettingsCommandsKeepValuesOnUndefinedZeroOrRefusedLogin) {
  SFixture f;
  f.screen.OnCommand("IDC_FS_LogViewerStepper", "0");
  f.screen.OnCommand("IDC_FS_LogViewerStepper", "undefined");
  EXPECT_EQ(50, f.alertLog.GetLogViewStep());
  f.screen.OnCommand("IDC_FS_LogViewerStepper", "70000");
  EXPECT_EQ(4464, f.alertLog.GetLogViewStep());
  f.screen.OnCommand("IDC_FS_CHANGE_LANGUAGE", "undefined");
  EXPECT_EQ("English", f.strLanguage);
  f.screen.OnCommand("IDC_FS_CHANGE_LANGUAGE", "Deutsch");
  EXPECT_EQ("Deutsch", f.strLanguage);

  // The custom choice stored mail 1 and web 1: level 1 shows mail alerts only.
  f.screen.OnCommand("IDC_FS_AlertAndLogCustomSettings", "");
  f.screen.OnCommand("IDC_FS_AlertEventsLevel", "1");
  EXPECT_EQ(1, f.alertLog.GetShowAlert(EVENT_MAIL_PROTECTION));
  EXPECT_EQ(0, f.alertLog.GetShowAlert(EVENT_WEB_PROTECTION));

  // A refused login still sends the unchanged state back.
  f.services.bLoginPasses = false;
  f.player.calls.clear();
  f.screen.OnCommand("IDC_FS_LoadSplashScreen", "");
  f.screen.OnCommand("IDC_FS_SiteBlockingOff", "");
  EXPECT_EQ(0, f.nSplash);
  EXPECT_EQ(1, f.siteList.GetProtectionState());
  EXPECT_EQ("Set _root.bLoadSplashScreen=", f.player.calls.front());
  EXPECT_EQ(23u, f.player.calls.size());
  f.services.bLoginPasses = true;
  f.screen.OnCommand("IDC_FS_SiteBlockingOff", "");
  EXPECT_EQ("0", f.player.values["_root.bEnabledAdvweb"]);
  EXPECT_EQ("", f.player.values["_root.bWebSiteBlockingProtectionState"]);

  f.screen.OnCommand("IDC_FS_CLOSE", "");
  f.screen.OnCommand("IDC_FS_MINIMIZE", "");
  EXPECT_EQ(2, f.services.nHidden);
  EXPECT_EQ(0, f.services.nEnded);
}

TEST(MainScreen, FeedingSendsTheNextItemOnEachAcknowledgementAndEachRowOnce) {
  SFixture f;
  const char kMailAck[] = "IDC_FS_MailScamList_NoOperation";
  f.siteList.RemoveAll();
  f.screen.StartFeeding();
  // The empty log and site list are over at once; the mail list waits for the movie.
  EXPECT_EQ(4u, f.player.calls.size());
  EXPECT_EQ("Set _root.ScamMailStructItem.Stricted=m0", f.player.calls.at(1));
  EXPECT_FALSE(f.screen.IsFeedOver());
  // A row added while the feed runs is left to the feed.
  f.mailList.AppendEntry(CMailSafeItem());
  f.screen.AddMailRow(3);
  f.screen.OnCommand("IDC_FS_SiteScamList_NoOperation", "");  // releases nothing
  EXPECT_EQ(4u, f.player.calls.size());
  for (int i = 1; i <= 4; ++i) f.screen.OnCommand(kMailAck, "");  // the fourth is past the end
  EXPECT_EQ("Set _root.ScamMailStructItem.Stricted=m2", f.player.calls.at(9));
  EXPECT_EQ(16u, f.player.calls.size());
  EXPECT_TRUE(f.screen.IsFeedOver());
  f.screen.AddMailRow(3);  // now rows go straight to the movie
  f.screen.OnCommand(kMailAck, "");
  EXPECT_EQ(20u, f.player.calls.size());
}

TEST(MainScreen, AnEntryRemovedDuringTheFeedDoesNotMakeItSkipTheNext) {
  SFixture f;
  const char kSiteAck[] = "IDC_FS_SiteScamList_NoOperation";
  f.screen.StartFeeding();
  f.screen.OnCommand(kSiteAck, "");
  f.screen.OnCommand("IDC_FS_siteListItemRemove", "0");  // s0 goes, s1 moves to 0
  f.player.calls.clear();
  f.screen.OnCommand(kSiteAck, "");
  EXPECT_EQ("Set _root.ScamSiteStructItem.StrictedData=s2", f.player.calls.at(1));
  f.screen.OnCommand(kSiteAck, "");
  f.screen.OnCommand(kSiteAck, "");
  EXPECT_EQ(4u, f.player.calls.size());
}

// A log row shows its rating in the console's language, whichever language it was
// stored in, and one that names no rating as stored.
TEST(MainScreen, LogRowsShowTheirRatingInTheCurrentLanguage) {
  SFixture f;
  for (const char* szStored : {"Hoch", "Elevee"}) {
    CLogEntryDetails entry;
    entry.rating = RatingOfStoredText(szStored);
    f.alertLog.AppendEntry(entry);
  }
  f.screen.StartFeeding();
  f.screen.OnCommand("IDC_FS_AlertLogList_NoOperation", "");
  const std::string strRatingSet = "Set _root.LogViewerStructItem.Rating=";
  std::vector<std::string> ratings;
  for (const std::string& strCall : f.player.calls) {
    if (strCall.rfind(strRatingSet, 0) == 0) ratings.push_back(strCall.substr(strRatingSet.size()));
  }
  EXPECT_EQ((std::vector<std::string>{"High", "Elevee"}), ratings);
}

// What a policy holds shows as the administrator's and keeps the user's value:
// the web guard's switch, the log archive's period; what it does not hold changes.
TEST(MainScreen, SettingsHeldByPolicyShowSoAndKeepTheUsersValues) {
  SFixture f;
  std::int32_t nCheckWebTraffic = 0;
  CPolicies policies;
  ASSERT_TRUE(policies.SetNumber(EPolicy::WebGuardOn, 1));
  ASSERT_TRUE(policies.SetNumber(EPolicy::ArchiveLogDays, 30));
  CMainScreen screen{f.player,
                     SMainScreenState{f.mailList, f.siteList, f.alertLog, f.anCounters[0], f.anCounters[1],
                                      f.anCounters[2], f.anCounters[3], f.nStartup, f.nSplash, f.nLogin, f.strPassword,
                                      f.strLanguage, f.strApp, f.strEngine, f.strDefs, &nCheckWebTraffic, &policies},
                     f.services};
  screen.PushOverview();
  EXPECT_EQ(StateForm(1), f.player.values["_root.bWebGuardByPolicy"]);
  screen.OnCommand("IDC_FS_CheckWebTraffic", "");
  EXPECT_EQ(0, nCheckWebTraffic);

  f.services.bLogEditTurnsArchiveOff = true;
  screen.OnCommand("IDC_FS_AlertAndLogAdvancedSettings", "");
  EXPECT_EQ("1 30", f.services.strLogDialogShown);
  EXPECT_EQ(1, f.alertLog.GetArchivePeriod());
  EXPECT_EQ(0, f.alertLog.GetArchiveOn());
}
