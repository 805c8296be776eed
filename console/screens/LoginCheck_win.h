// The login check with the password screen as its prompt.
#pragma once

#include "console/screens/ScreensLayer.h"

#include <functional>
#include <string>

#include "console/screens/LoginCheck.h"

class CConsoleSettings;

class CPasswordLoginPrompt : public ILoginPrompt {
 public:
  explicit CPasswordLoginPrompt(const CConsoleSettings& settings) : m_settings(settings) {}
  int AskPassword(const std::string& strStoredPassword) override;
  void PushOverview() override;

  // What shows a changed login state; the main window sets it when it exists.
  static void SetOverviewPush(std::function<void()> pushOverview);

 private:
  const CConsoleSettings& m_settings;
};

// The login check against a login flag and a stored password (name code); the
// password screen speaks the settings' language.
bool CheckLogin(const CConsoleSettings& settings, int& nIsLogin, const std::string& strStoredPassword);

// The login check against the settings' login flag and stored password. On
// success the flag may have become 1; the registry changes only with the next
// full save.
bool CheckLogin(CConsoleSettings& settings);

// The login check before a change of settings: while an administrator's policy
// requires a password and none is set, it says so and fails, so that nothing
// changes until the user sets one (setting it needs no check).
bool CheckSettingsLogin(CConsoleSettings& settings);
