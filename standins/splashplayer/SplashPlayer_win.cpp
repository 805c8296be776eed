// SplashPlayer.dll: the stand-in for the splash control. When told to play, it
// shows a small borderless window with the first line of the splash movie (a
// text file) for two seconds, then closes it. The window's title names what the
// console asked for, so that tests can see it.
#include <windows.h>

#include <fstream>
#include <string>

#include "console/screens/SplashPlayerApi_win.h"
#include "shared/OwnedResources_win.h"

namespace {

constexpr const char* kControlClass = "HookwardenSplashControl";
constexpr const char* kSplashClass = "HookwardenSplash";
constexpr UINT_PTR kCloseTimerId = 1;
constexpr UINT kShowMs = 2000;
constexpr int kSplashWidth = 320;
constexpr int kSplashHeight = 120;

HINSTANCE g_hInstance = nullptr;

struct SSplash {
  std::string strMovie;
  long nFrame = 0;
  std::string strText = "Hookwarden";
  CDestroyWindow popup;
};

SSplash* SplashOf(HWND hWnd) {
  return reinterpret_cast<SSplash*>(::GetWindowLongPtrA(hWnd, GWLP_USERDATA));
}

std::string FirstLine(const std::string& strPath) {
  std::ifstream file(strPath);
  std::string strLine;
  if (!file || !std::getline(file, strLine)) return std::string();
  if (!strLine.empty() && strLine.back() == '\r') strLine.pop_back();
  return strLine;
}

LRESULT CALLBACK SplashWndProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
  if (uMsg == WM_PAINT) {
    PAINTSTRUCT ps;
    const HDC hDC = ::BeginPaint(hWnd, &ps);
    RECT rc;
    ::GetClientRect(hWnd, &rc);
    ::FillRect(hDC, &rc, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    const auto* pSplash = reinterpret_cast<const SSplash*>(::GetWindowLongPtrA(hWnd, GWLP_USERDATA));
    if (pSplash) {
      ::DrawTextA(hDC, pSplash->strText.c_str(), -1, &rc, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    }
    ::EndPaint(hWnd, &ps);
    return 0;
  }
  return ::DefWindowProcA(hWnd, uMsg, wParam, lParam);
}

void Show(HWND hControl, SSplash& splash) {
  const std::string strText = FirstLine(splash.strMovie);
  if (!strText.empty()) splash.strText = strText;
  const std::string strTitle = "Splash " + splash.strMovie + " from frame " + std::to_string(splash.nFrame);
  const int x = (::GetSystemMetrics(SM_CXSCREEN) - kSplashWidth) / 2;
  const int y = (::GetSystemMetrics(SM_CYSCREEN) - kSplashHeight) / 2;
  // Disabled: a splash takes no input.
  splash.popup.Reset(::CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, kSplashClass, strTitle.c_str(),
                                       WS_POPUP | WS_BORDER | WS_DISABLED, x, y, kSplashWidth, kSplashHeight, nullptr,
                                       nullptr, g_hInstance, nullptr));
  if (!splash.popup) return;
  ::SetWindowLongPtrA(splash.popup.Get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&splash));
  ::ShowWindow(splash.popup.Get(), SW_SHOWNOACTIVATE);
  ::SetTimer(hControl, kCloseTimerId, kShowMs, nullptr);
}

LRESULT CALLBACK ControlWndProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
  if (uMsg == WM_NCCREATE) ::SetWindowLongPtrA(hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(new SSplash));
  SSplash* pSplash = SplashOf(hWnd);
  if (uMsg == WM_TIMER && wParam == kCloseTimerId && pSplash) {
    ::KillTimer(hWnd, kCloseTimerId);
    pSplash->popup.Reset();
    return 0;
  }
  if (uMsg == WM_NCDESTROY) {
    ::SetWindowLongPtrA(hWnd, GWLP_USERDATA, 0);
    delete pSplash;
  }
  return ::DefWindowProcA(hWnd, uMsg, wParam, lParam);
}

bool RegisterClasses() {
  static const bool bRegistered = [] {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = ControlWndProc;
    wc.hInstance = g_hInstance;
    wc.lpszClassName = kControlClass;
    WNDCLASSA splash = {};
    splash.lpfnWndProc = SplashWndProc;
    splash.hInstance = g_hInstance;
    splash.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);
    splash.lpszClassName = kSplashClass;
    return ::RegisterClassA(&wc) != 0 && ::RegisterClassA(&splash) != 0;
  }();
  return bRegistered;
}

}  // namespace

extern "C" __declspec(dllexport) HWND WINAPI HwSplashCreate(HWND hParent, int nId, int x, int y, int cx, int cy) {
  if (!RegisterClasses()) return nullptr;
  return ::CreateWindowExA(0, kControlClass, "", WS_CHILD, x, y, cx, cy, hParent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(nId)), g_hInstance, nullptr);
}

extern "C" __declspec(dllexport) long WINAPI
    HwSplashInvoke(HWND hSplash, long nDispId, const char* szText, long nValue) {
  SSplash* pSplash = ::IsWindow(hSplash) ? SplashOf(hSplash) : nullptr;
  if (!pSplash) return -2;
  switch (nDispId) {
    case HWSPLASH_DISPID_MOVIE:
      pSplash->strMovie = szText ? szText : "";
      return 0;
    case HWSPLASH_DISPID_FRAME:
      pSplash->nFrame = nValue;
      return 0;
    case HWSPLASH_DISPID_LOOP:
      // Played once it closes by itself; a looping splash is not asked for.
      Show(hSplash, *pSplash);
      return 0;
  }
  return -1;
}

BOOL WINAPI DllMain(HINSTANCE hInstance, DWORD dwReason, LPVOID) {
  if (dwReason == DLL_PROCESS_ATTACH) g_hInstance = hInstance;
  if (dwReason == DLL_PROCESS_DETACH) {
    ::UnregisterClassA(kControlClass, hInstance);
    ::UnregisterClassA(kSplashClass, hInstance);
  }
  return TRUE;
}
