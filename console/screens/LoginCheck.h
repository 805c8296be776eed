// The login check that guards every change of settings, every answer to an alert
// and leaving the console: it passes when the user is logged in or no password is
// set, and otherwise asks for the password.
#pragma once

#include "console/screens/ScreensLayer.h"

#include <string>

class ILoginPrompt {
 public:
  virtual ~ILoginPrompt() = default;
  // Runs the password screen in login mode against the stored name code and
  // returns its modal result.
  virtual int AskPassword(const std::string& strStoredPassword) = 0;
  // Shows the changed login state on the main window.
  virtual void PushOverview() = 0;
};

// nIsLogin is the login flag (0 or 1), strStoredPassword the stored name code.
bool RunLoginCheck(int& nIsLogin, const std::string& strStoredPassword, ILoginPrompt& prompt);
