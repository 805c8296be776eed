// The login check with the password screen as its prompt.
#pragma once

#include <functional>
#include <string>

#include "console/screens/LoginCheck.h"

class CPasswordLoginPrompt : public ILoginPrompt {
 public:
  int AskPassword(const std::string& strStoredPassword) override;
  void PushOverview() override;

  // What shows a changed login state; the main window sets it when it exists.
  static void SetOverviewPush(std::function<void()> pushOverview);
};

// The login check against a login flag and a stored password (name code).
bool CheckLogin(int& nIsLogin, const std::string& strStoredPassword);

// The login check against the application's settings: its login flag and stored
// password. On success the flag may have become 1; the registry changes only with
// the next full save.
bool CheckLogin();
