// The request channel's sending (see RequestChannel_win.h).
#include "shared/RequestChannel_win.h"

namespace {

// A user has all the time an alert needs.
constexpr UINT kAlertTimeoutMs = 10 * 60 * 1000;

}  // namespace

SConsoleReply SendRequestRecord(HWND hConsole, const SRequestRecord& request, EConsoleWait eWait) {
  SConsoleReply reply;
  if (!hConsole) return reply;
  COPYDATASTRUCT copy = {};
  copy.dwData = request.dwCode;
  copy.cbData = static_cast<DWORD>(request.cbData);
  copy.lpData = const_cast<EngineRequest*>(&request.record);
  const LPARAM lParam = reinterpret_cast<LPARAM>(&copy);
  DWORD_PTR dwResult = 0;
  if (eWait == EConsoleWait::AlertTime) {
    reply.bAnswered =
        ::SendMessageTimeoutA(hConsole, WM_COPYDATA, 0, lParam, SMTO_NORMAL, kAlertTimeoutMs, &dwResult) != 0;
  } else {
    // Plain SendMessage tells a failure only by its last error; a 0 from the
    // console leaves that alone.
    ::SetLastError(ERROR_SUCCESS);
    dwResult = static_cast<DWORD_PTR>(::SendMessageA(hConsole, WM_COPYDATA, 0, lParam));
    reply.bAnswered = dwResult != 0 || ::GetLastError() == ERROR_SUCCESS;
  }
  reply.nVerdict = reply.bAnswered && dwResult != 0 ? VERDICT_ALLOW : VERDICT_BLOCK;
  return reply;
}

SConsoleReply SendToConsole(HWND hConsole, const SWebRequest& request, EConsoleWait eWait) {
  return SendRequestRecord(hConsole, RequestRecordOf(request), eWait);
}

SConsoleReply SendToConsole(HWND hConsole, const SMailRequest& request, EConsoleWait eWait) {
  return SendRequestRecord(hConsole, RequestRecordOf(request), eWait);
}
