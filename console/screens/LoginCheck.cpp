#include "console/screens/LoginCheck.h"

#include "console/screens/FlashScreenHost.h"

bool RunLoginCheck(int& nIsLogin, const std::string& strStoredPassword, ILoginPrompt& prompt) {
  if (nIsLogin == 1) return true;
  if (strStoredPassword.empty()) return true;
  if (prompt.AskPassword(strStoredPassword) != SCREEN_RESULT_OK) return false;
  nIsLogin = 1;
  prompt.PushOverview();
  return true;
}
