// MoviePlayer.dll's window class and exports: the host makes a stage window and
// calls its player through HwPlayerInvoke.
#include <windows.h>
// after windows.h, which it needs
#include <commctrl.h>

#include "standins/flashplayer/MoviePlayer_win.h"

namespace {

HINSTANCE g_hInstance = nullptr;

struct SCreateParams {
  HwPlayerEventProc pfnEvent;
  void* pContext;
};

IStagePlayer* PlayerOf(HWND hWnd) {
  return reinterpret_cast<IStagePlayer*>(::GetWindowLongPtrA(hWnd, GWLP_USERDATA));
}

LRESULT CALLBACK PlayerWndProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
  if (uMsg == WM_NCCREATE) {
    const auto* pCreate = reinterpret_cast<const CREATESTRUCTA*>(lParam);
    const auto* pParams = static_cast<const SCreateParams*>(pCreate->lpCreateParams);
    ::SetWindowLongPtrA(hWnd, GWLP_USERDATA,
                        reinterpret_cast<LONG_PTR>(NewStagePlayer(hWnd, pParams->pfnEvent, pParams->pContext)));
  }
  IStagePlayer* pPlayer = PlayerOf(hWnd);
  if (uMsg == WM_DESTROY && pPlayer) pPlayer->OnDestroy();
  if (uMsg == WM_NCDESTROY) {
    ::SetWindowLongPtrA(hWnd, GWLP_USERDATA, 0);
    delete pPlayer;
    return ::DefWindowProcA(hWnd, uMsg, wParam, lParam);
  }
  return pPlayer ? pPlayer->HandleMessage(uMsg, wParam, lParam) : ::DefWindowProcA(hWnd, uMsg, wParam, lParam);
}

bool RegisterPlayerClass() {
  static const bool bRegistered = [] {
    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_LISTVIEW_CLASSES | ICC_UPDOWN_CLASS | ICC_TAB_CLASSES};
    ::InitCommonControlsEx(&icc);
    WNDCLASSA wc = {};
    // Painted whole when its size changes: the stage's edge moves with it.
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = PlayerWndProc;
    wc.hInstance = g_hInstance;
    wc.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);
    wc.lpszClassName = HWPLAYER_WINDOW_CLASS;
    return ::RegisterClassA(&wc) != 0;
  }();
  return bRegistered;
}

}  // namespace

extern "C" __declspec(dllexport) HWND WINAPI
    HwPlayerCreate(HWND hParent, int nId, int x, int y, int cx, int cy, HwPlayerEventProc pfnEvent, void* pContext) {
  if (!RegisterPlayerClass()) return nullptr;
  SCreateParams params = {pfnEvent, pContext};
  return ::CreateWindowExA(WS_EX_CONTROLPARENT, HWPLAYER_WINDOW_CLASS, "", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, x,
                           y, cx, cy, hParent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(nId)), g_hInstance,
                           &params);
}

extern "C" __declspec(dllexport) long WINAPI
    HwPlayerInvoke(HWND hPlayer, long nDispId, const char* szFirst, const char* szSecond, long nValue, char* szResult,
                   long cbResult) {
  IStagePlayer* pPlayer = ::IsWindow(hPlayer) ? PlayerOf(hPlayer) : nullptr;
  if (!pPlayer) return -2;
  return pPlayer->Invoke(nDispId, szFirst, szSecond, nValue, szResult, cbResult);
}

BOOL WINAPI DllMain(HINSTANCE hInstance, DWORD dwReason, LPVOID) {
  if (dwReason == DLL_PROCESS_ATTACH) g_hInstance = hInstance;
  // The class must not outlive the code of its window procedure.
  if (dwReason == DLL_PROCESS_DETACH) ::UnregisterClassA(HWPLAYER_WINDOW_CLASS, hInstance);
  return TRUE;
}
