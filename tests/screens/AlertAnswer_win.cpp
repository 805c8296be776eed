// alert-answer.exe allow|block [remember]: the person at the console's alert, for
// the run command. Waits up to 30 seconds for the running console's alert, prints
// what it shows, ticks the remember box when asked and presses the answer.
// Exit code 0 when it answered, 1 when no alert showed, 2 for a usage error.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "screens/ScreenUser_win.h"
#include "shared/EngineRequest.h"

namespace {

// Controls of the movie "HWAlerts": web details, mail details, remember boxes and answers.
// 344: the note that takes the place of Allow while an administrator allows only Block.
const std::vector<int> kWebTexts = {300, 301, 302, 303, 304, 344};
const std::vector<int> kMailTexts = {320, 321, 322, 328, 323, 324, 329, 344};
enum : int { ID_WEB_REMEMBER = 305, ID_MAIL_REMEMBER = 325, ID_ALLOW = 340, ID_BLOCK = 341 };

}  // namespace

int main(int argc, char** argv) {
  const bool bAllow = argc > 1 && !std::strcmp(argv[1], "allow");
  if (argc < 2 || (!bAllow && std::strcmp(argv[1], "block"))) {
    std::fprintf(stderr, "usage: alert-answer allow|block [remember]\n");
    return 2;
  }
  const bool bRemember = argc > 2 && !std::strcmp(argv[2], "remember");
  const HWND hRequestWindow = ::FindWindowA(nullptr, REQUEST_WINDOW_TITLE);
  if (!hRequestWindow) {
    std::printf("no console running\n");
    return 1;
  }
  CScreenUser user(::GetWindowThreadProcessId(hRequestWindow, nullptr));
  if (!user.WaitForControl(ID_BLOCK, 30000)) {
    std::printf("no alert showed\n");
    return 1;
  }
  const bool bWeb = user.WaitForControl(kWebTexts[0], 0) != nullptr;
  for (int nId : bWeb ? kWebTexts : kMailTexts) {
    if (user.WaitForControl(nId, 0)) std::printf("  alert | %s\n", user.Text(nId).c_str());
  }
  if (bRemember) user.Press(bWeb ? ID_WEB_REMEMBER : ID_MAIL_REMEMBER);
  std::printf("  the user presses %s%s\n", bAllow ? "Allow" : "Block", bRemember ? " with \"remember\" ticked" : "");
  std::fflush(stdout);
  user.Press(bAllow ? ID_ALLOW : ID_BLOCK);
  return user.bFailed ? 1 : 0;
}
