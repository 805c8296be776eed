// The alert's and the alert display settings' exchange with their movies
// "HWAlerts" and "HWLogCstm": what each tells its movie and what it does about
// each command. The windows that host them are CAlertsDlg and CLogCustomDlg.
#pragma once

#include "console/screens/ScreensLayer.h"

#include <cstdint>
#include <functional>
#include <string>

#include "console/screens/FlashScreenHost.h"

// Alert kinds.
enum : std::int32_t { ALERT_KIND_MAIL = 0, ALERT_KIND_WEB = 1 };

// How much taller each "IDC_FS_MoreInfo" makes the alert, in pixels at 96 dpi
// (scaled with the display like the movie).
constexpr int kAlertMoreInfoGrowth = 162;

struct SAlertFields {
  std::int32_t nAlertKind = ALERT_KIND_MAIL;
  std::string strStrictedData;
  std::string strMatchType;
  std::string strApplication;
  std::string strDateTime;
  std::string strAttachment;
  std::string strProtocol;
  std::string strFrom;
  std::string strTo;
  std::string strSubject;
  std::string strIPAddress;
  std::string strScamSite;
  std::string strExtraText;  // kept with the alert, not shown
  std::int32_t nRememberAnswer = 0;
  std::string strToolTip;
  // 1 while an administrator allows only Block: the movie hides Allow
  // ("_root.bBlockOnly"), and an Allow that still comes is answered Block.
  std::int32_t nBlockOnly = 0;
};

// A web alert's tooltip: the first "%s" of the translated text replaced by the
// value. The text is never used as a format, so a language file cannot make it
// read arguments.
std::string FillAlertToolTip(std::string strText, const std::string& strValue);

// Mail labels by match type, compared with case: "From" names the source address,
// any other type T is named "Phishing e-mail " + T.
std::string AlertSpamLabel(const std::string& strMatchType);
std::string AlertRememberLabel(const std::string& strMatchType);

class CAlertScreen {
 public:
  // checkLogin runs the login check and tells whether it passed.
  CAlertScreen(IFlashPlayer& player, std::function<bool()> checkLogin)
      : m_player(player), m_checkLogin(std::move(checkLogin)) {}

  SAlertFields m_fields;

  // Remember flag and tooltip, sent before the window places itself.
  void SendStartVariables();
  // The details of the alert kind, sent after the placement.
  void SendDetails();
  // "IDC_FS_MoreInfo" answers Resize: the window grows by kAlertMoreInfoGrowth.
  SScreenReply OnCommand(const char* szCommand, const char* szArgs);
  // The screen's OK (Allow) and Cancel (Block, also Escape) actions. Allow, and
  // Block with the remember box ticked, which changes the list entry, need the
  // login check; Block alone stores nothing and ends without it, so a user who
  // does not know the password can still send the program its answer.
  SScreenReply AllowAction() { return AnswerAction(SCREEN_RESULT_OK); }
  SScreenReply BlockAction() { return AnswerAction(SCREEN_RESULT_CANCEL); }

 private:
  SScreenReply AnswerAction(int nResult);
  std::int32_t ReadRememberAnswer();

  IFlashPlayer& m_player;
  std::function<bool()> m_checkLogin;
};

class CLogCustomScreen {
 public:
  explicit CLogCustomScreen(IFlashPlayer& player) : m_player(player) {}

  // In and, after OK, out. Both start at 1.
  std::int32_t m_nDisplayMailAlerts = 1;
  std::int32_t m_nDisplayWebAlerts = 1;

  void SendStartVariables();
  SScreenReply OnCommand(const char* szCommand, const char* szArgs);

 private:
  IFlashPlayer& m_player;
};
