#include "support/WaitUntil_win.h"

namespace {

constexpr DWORD kCheckIntervalMs = 10;

bool WaitWith(const std::function<bool()>& condition, DWORD dwTimeoutMs, bool bPump) {
  const DWORD dwStart = ::GetTickCount();
  for (;;) {
    if (bPump) {
      MSG msg;
      while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
      }
    }
    if (condition()) return true;
    const DWORD dwElapsed = ::GetTickCount() - dwStart;
    if (dwElapsed >= dwTimeoutMs) return false;
    const DWORD dwWait = dwTimeoutMs - dwElapsed < kCheckIntervalMs ? dwTimeoutMs - dwElapsed : kCheckIntervalMs;
    if (bPump) {
      ::MsgWaitForMultipleObjects(0, nullptr, FALSE, dwWait, QS_ALLINPUT);
    } else {
      ::Sleep(dwWait);
    }
  }
}

}  // namespace

bool WaitUntil(const std::function<bool()>& condition, DWORD dwTimeoutMs) {
  return WaitWith(condition, dwTimeoutMs, false);
}

bool PumpUntil(const std::function<bool()>& condition, DWORD dwTimeoutMs) {
  return WaitWith(condition, dwTimeoutMs, true);
}
