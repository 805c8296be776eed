#include "screens/ScreenUser_win.h"

#include <atomic>
#include <thread>
#include <vector>

#include "console/screens/MoviePlayerApi_win.h"

namespace {

BOOL CALLBACK CollectWindow(HWND hWnd, LPARAM lParam) {
  reinterpret_cast<std::vector<HWND>*>(lParam)->push_back(hWnd);
  return TRUE;
}

std::vector<HWND> ThreadWindows(DWORD dwThreadId) {
  std::vector<HWND> windows;
  ::EnumThreadWindows(dwThreadId, &CollectWindow, reinterpret_cast<LPARAM>(&windows));
  return windows;
}

bool IsScreenWindow(HWND hWnd) {
  char szClass[16] = "";
  ::GetClassNameA(hWnd, szClass, sizeof(szClass));
  return std::string(szClass) == "#32770";
}

}  // namespace

HWND CScreenUser::FindScreen() const {
  for (HWND hWnd : ThreadWindows(m_dwThreadId)) {
    if (IsScreenWindow(hWnd) && ::IsWindowVisible(hWnd) && ::IsWindowEnabled(hWnd)) return hWnd;
  }
  return nullptr;
}

HWND CScreenUser::WaitForControl(int nId, DWORD dwTimeoutMs) const {
  const DWORD dwStart = ::GetTickCount();
  do {
    if (const HWND hScreen = FindScreen()) {
      const HWND hPlayer = ::FindWindowExA(hScreen, nullptr, HWPLAYER_WINDOW_CLASS, nullptr);
      const HWND hControl = hPlayer ? ::GetDlgItem(hPlayer, nId) : nullptr;
      if (hControl && ::IsWindowVisible(hControl)) return hControl;
    }
    ::Sleep(20);
  } while (::GetTickCount() - dwStart < dwTimeoutMs);
  return nullptr;
}

bool CScreenUser::WaitForNoScreen(DWORD dwTimeoutMs) const {
  const DWORD dwStart = ::GetTickCount();
  do {
    bool bAny = false;
    for (HWND hWnd : ThreadWindows(m_dwThreadId)) bAny = bAny || (IsScreenWindow(hWnd) && ::IsWindowVisible(hWnd));
    if (!bAny) return true;
    ::Sleep(20);
  } while (::GetTickCount() - dwStart < dwTimeoutMs);
  return false;
}

HWND CScreenUser::Control(int nId) {
  const HWND hControl = WaitForControl(nId);
  if (!hControl && !bFailed) {
    bFailed = true;
    strFailure = "control " + std::to_string(nId) + " never showed";
  }
  return hControl;
}

bool CScreenUser::Press(int nId) {
  const HWND hButton = Control(nId);
  // Posted, not sent: the press may open another modal screen.
  return hButton && ::PostMessageA(hButton, BM_CLICK, 0, 0);
}

bool CScreenUser::Type(int nId, const char* szText) {
  const HWND hEdit = Control(nId);
  DWORD_PTR dwResult = 0;
  return hEdit &&
         ::SendMessageTimeoutA(hEdit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(szText), SMTO_NORMAL, 5000, &dwResult);
}

bool CScreenUser::Key(int nId, WPARAM vk) {
  const HWND hTarget = nId ? Control(nId) : FindScreen();
  return hTarget && ::PostMessageA(hTarget, WM_KEYDOWN, vk, 1);
}

std::string CScreenUser::Text(int nId) {
  const HWND hControl = Control(nId);
  if (!hControl) return std::string();
  char szText[1024] = "";
  DWORD_PTR dwResult = 0;
  ::SendMessageTimeoutA(hControl, WM_GETTEXT, sizeof(szText), reinterpret_cast<LPARAM>(szText), SMTO_NORMAL, 5000,
                        &dwResult);
  return szText;
}

void CScreenUser::CloseAll() const {
  for (HWND hWnd : ThreadWindows(m_dwThreadId)) {
    if (IsScreenWindow(hWnd)) ::PostMessageA(hWnd, WM_CLOSE, 0, 0);
  }
}

SUserRun RunWithUser(const std::function<int()>& runModal, const std::function<void(CScreenUser&)>& script) {
  CScreenUser user(::GetCurrentThreadId());
  std::atomic<bool> bDone(false);
  std::thread person([&] {
    script(user);
    // A screen that the script left open would hang the test: close it after a while.
    for (int n = 0; n < 500 && !bDone; ++n) ::Sleep(20);
    while (!bDone) {
      if (!user.bFailed) {
        user.bFailed = true;
        user.strFailure = "the screens stayed open after the script";
      }
      user.CloseAll();
      ::Sleep(200);
    }
  });
  SUserRun run;
  run.nResult = runModal();
  bDone = true;
  person.join();
  run.strFailure = user.strFailure;
  return run;
}
