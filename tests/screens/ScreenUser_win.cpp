#include "screens/ScreenUser_win.h"

#include <atomic>
#include <thread>
#include <vector>

#include "console/screens/MoviePlayerApi_win.h"
#include "support/WaitUntil_win.h"

namespace {

constexpr char kBarrierClass[] = "HwScreenUserBarrier";

BOOL CALLBACK CollectWindow(HWND hWnd, LPARAM lParam) {
  reinterpret_cast<std::vector<HWND>*>(lParam)->push_back(hWnd);
  return TRUE;
}

std::vector<HWND> ThreadWindows(DWORD dwThreadId) {
  std::vector<HWND> windows;
  ::EnumThreadWindows(dwThreadId, &CollectWindow, reinterpret_cast<LPARAM>(&windows));
  return windows;
}

// The screens are borderless dialogs without a system menu; the main window,
// which has one, is left to the tests that drive it by hand.
bool IsScreenWindow(HWND hWnd) {
  return ClassOf(hWnd) == "#32770" && (::GetWindowLongPtrA(hWnd, GWL_STYLE) & WS_SYSMENU) != WS_SYSMENU;
}

// wParam of WM_APP: the number of the barrier that arrived.
LRESULT CALLBACK BarrierProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
  if (uMsg == WM_APP) {
    if (auto* pHandled = reinterpret_cast<std::atomic<long>*>(::GetWindowLongPtrA(hWnd, GWLP_USERDATA))) {
      *pHandled = static_cast<long>(wParam);
    }
    return 0;
  }
  return ::DefWindowProcA(hWnd, uMsg, wParam, lParam);
}

}  // namespace

HWND FocusOf(HWND hWnd) {
  GUITHREADINFO info = {};
  info.cbSize = sizeof(info);
  ::GetGUIThreadInfo(::GetWindowThreadProcessId(hWnd, nullptr), &info);
  return info.hwndFocus;
}

std::string ClassOf(HWND hWnd) {
  char szClass[64] = "";
  ::GetClassNameA(hWnd, szClass, sizeof(szClass));
  return szClass;
}

CScreenUser::CScreenUser() : m_dwThreadId(::GetCurrentThreadId()) {
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = &BarrierProc;
  windowClass.hInstance = ::GetModuleHandleA(nullptr);
  windowClass.lpszClassName = kBarrierClass;
  ::RegisterClassA(&windowClass);  // fails harmlessly when registered before
  m_barrier.Reset(
      ::CreateWindowExA(0, kBarrierClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, windowClass.hInstance, nullptr));
  ::SetWindowLongPtrA(m_barrier.Get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&m_nBarriersHandled));
}

HWND CScreenUser::FindScreen() const {
  for (HWND hWnd : ThreadWindows(m_dwThreadId)) {
    if (IsScreenWindow(hWnd) && ::IsWindowVisible(hWnd) && ::IsWindowEnabled(hWnd)) return hWnd;
  }
  return nullptr;
}

HWND CScreenUser::CurrentControl(int nId) const {
  const HWND hScreen = FindScreen();
  const HWND hPlayer = hScreen ? ::FindWindowExA(hScreen, nullptr, HWPLAYER_WINDOW_CLASS, nullptr) : nullptr;
  const HWND hControl = hPlayer ? ::GetDlgItem(hPlayer, nId) : nullptr;
  return hControl && ::IsWindowVisible(hControl) ? hControl : nullptr;
}

HWND CScreenUser::WaitForControl(int nId, DWORD dwTimeoutMs) const {
  HWND hControl = nullptr;
  WaitUntil([&] { return (hControl = CurrentControl(nId)) != nullptr; }, dwTimeoutMs);
  return hControl;
}

HWND CScreenUser::ShownControl(int nId) {
  if (!WaitUntil([&] { return FindScreen() != nullptr; }) && !bFailed) {
    bFailed = true;
    strFailure = "no screen showed";
  }
  return CurrentControl(nId);
}

bool CScreenUser::WaitForNoScreen(DWORD dwTimeoutMs) const {
  return WaitUntil(
      [&] {
        for (HWND hWnd : ThreadWindows(m_dwThreadId)) {
          if (IsScreenWindow(hWnd) && ::IsWindowVisible(hWnd)) return false;
        }
        return true;
      },
      dwTimeoutMs);
}

bool CScreenUser::EndsWithoutScreen() const {
  WaitUntil([&] { return bRunEnded || FindScreen(); });
  return bRunEnded && !FindScreen();
}

bool CScreenUser::Flush() {
  const long nBarrier = ++m_nBarriersPosted;
  return ::PostMessageA(m_barrier.Get(), WM_APP, static_cast<WPARAM>(nBarrier), 0) &&
         WaitUntil([&] { return m_nBarriersHandled >= nBarrier; });
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
  CScreenUser user;
  std::thread person([&] {
    script(user);
    // A screen that the script left open would hang the test: close it after a while.
    if (WaitUntil([&] { return user.bRunEnded.load(); })) return;
    if (!user.bFailed) {
      user.bFailed = true;
      user.strFailure = "the screens stayed open after the script";
    }
    do {
      user.CloseAll();
    } while (!WaitUntil([&] { return user.bRunEnded.load(); }, 200));
  });
  SUserRun run;
  run.nResult = runModal();
  user.bRunEnded = true;
  person.join();
  run.strFailure = user.strFailure;
  return run;
}
