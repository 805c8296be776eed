// The main screen's exchange with its movie ("HWMain"): the overview, the item
// and detail variables of the mail list, the site list and the alert log, the
// rows the request handling adds or refreshes, the feeding turns of the three
// views and every command of the movie. The window and its dialogs come through
// IMainScreenServices.
#pragma once

#include "console/screens/ScreensLayer.h"

#include <cstdint>
#include <string>

#include "console/screens/FlashPlayer.h"
#include "console/screens/MainWindowNotifications.h"
#include "console/settings/AlertLog.h"
#include "console/settings/PermissionLists.h"
#include "shared/Policies.h"

// The state the main screen shows and changes; it belongs to the application.
struct SMainScreenState {
  CMailSafeList& mailList;
  CWebSiteBlockingList& siteList;
  CAlertLogSettings& alertLog;
  std::int32_t& nNoOfBlockedInstructions;
  std::int32_t& nNoOfBlockedInstructionsHaveHighRating;
  std::int32_t& nNoOfEmailProtection;
  std::int32_t& nNoOfWebProtection;
  std::int32_t& nLoadwithWindowsStartup;
  std::int32_t& nLoadSplashScreen;
  std::int32_t& nIsLogin;
  std::string& strPassword;
  std::string& strLanguage;
  const std::string& strApplicationVersion;
  const std::string& strEngineVersion;
  const std::string& strDefinitionVersion;
  // The web guard's switch; its check box is left out when null.
  std::int32_t* pnCheckWebTraffic = nullptr;
  // The administrators' policies; the settings they hold show so and do not change.
  const CPolicies* pPolicies = nullptr;
};

// What the commands need from the window, the system and the other screens.
class IMainScreenServices {
 public:
  virtual ~IMainScreenServices() = default;
  virtual bool CheckLogin() = 0;
  virtual std::string LocalText(unsigned nStringId) = 0;
  // The available languages as the movie's option list.
  virtual std::string LanguageOptions() = 0;
  virtual void Drag() = 0;
  virtual void OpenHelp() = 0;
  virtual void HideToTray() = 0;
  virtual void MinimizeToTaskbar() = 0;
  // Writes or removes the start-up entry from the start with Windows flag.
  virtual void UpdateStartupEntry() = 0;
  // The password screen: set-password mode, true on OK with *pNew the new password.
  virtual bool AskNewPassword(const std::string& strCurrent, std::string* pNew) = 0;
  // Login mode against the stored password; true on OK.
  virtual bool AskLogin(const std::string& strStored) = 0;
  // A message box with flags 3; its answer.
  virtual int AskQuestion(unsigned nTextId, unsigned nCaptionId) = 0;
  // Backup, restore and reset with their own login check; restore and reset
  // answer true when the console must now end.
  virtual void BackupSettings() = 0;
  virtual bool RestoreSettings() = 0;
  virtual bool ResetSettings() = 0;
  // Ends the main window with 0, which ends the console.
  virtual void EndWindow() = 0;
  virtual void RunLiveUpdate() = 0;
  virtual void OpenSupportMail() = 0;
  // The settings screens; true when they ended with OK, the values then changed.
  virtual bool EditPermission(int nMode, std::int32_t* pPermission) = 0;
  // bArchiveByPolicy: the archive's switch and period are the administrator's,
  // shown so and not to be changed.
  virtual bool EditLogSettings(std::string* pPath, std::int32_t* pArchiveOn, std::uint8_t* pPeriod,
                               bool bArchiveByPolicy) = 0;
  virtual bool EditAlertDisplay(std::int32_t* pMail, std::int32_t* pWeb) = 0;
  // The settings in memory changed: they are to be saved soon.
  virtual void SettingsChanged() {}
};

// Where the feed of one view stands; it lives on the user-interface thread. The
// feed sends one entry at a time and the next when the movie acknowledges the
// last with the view's NoOperation command. Until the feed is over, rows the
// request handling adds are left to it, so that each row reaches the movie once.
struct SViewFeed {
  int nNext = 0;          // the entry sent next; the list commands keep it in place
  bool bWaiting = false;  // an item is out and not acknowledged yet
  bool bOver = false;
};

enum EMainView : int { VIEW_ALERT_LOG = 0, VIEW_MAIL_LIST = 1, VIEW_SITE_LIST = 2, VIEW_COUNT = 3 };

class CMainScreen : public IMainWindowNotifications {
 public:
  CMainScreen(IFlashPlayer& player, const SMainScreenState& state, IMainScreenServices& services)
      : m_player(player), m_state(state), m_services(services) {}

  void PushOverview() override;
  // Rows from the request handling; while a view's feed runs it reaches them.
  void AddMailRow(int nIndex) override;
  void AddSiteRow(int nIndex) override;
  void AddLogRow(int nIndex) override;
  void RefreshMailRow(int nIndex) override;
  void RefreshSiteRow(int nIndex) override;
  void RefreshLogRow(int nIndex) override;
  void SettingsChanged() override { m_services.SettingsChanged(); }

  // The start-up timer: each view sends its first entry, the alert log first.
  void StartFeeding();
  // The console ends: no entry is sent any more.
  void StopFeeding();
  bool IsFeedOver() const;

  // One command of the movie; unknown commands are ignored.
  void OnCommand(const char* szCommand, const char* szArgs);

 private:
  bool SendMailItem(int nIndex);
  bool SendSiteItem(int nIndex);
  bool SendLogItem(int nIndex);
  std::string ActionText(std::int32_t nAction);
  std::string RatingText(const SRating& rating);
  void SendMailDetails(const char* szArgs);
  void SendSiteDetails(const char* szArgs);
  // The view's next entry goes to the movie; past the end of its list the feed
  // of the view is over.
  void FeedNext(int nView);
  void OnAcknowledged(int nView);
  void RunCommand(int nCommand, const char* szArgs);
  void RunListCommand(int nCommand, int nIndex);
  void SetPassword();
  void Login();
  bool Holds(EPolicy ePolicy) const { return m_state.pPolicies && m_state.pPolicies->Holds(ePolicy); }
  void SetAlertLevel(const char* szArgs);
  void EditAlertDisplay();

  IFlashPlayer& m_player;
  SMainScreenState m_state;
  IMainScreenServices& m_services;
  SViewFeed m_feeds[VIEW_COUNT];
};
