#include <winsock2.h>

#include "console/core/WebGuard_win.h"

#include <vector>

#include "console/ConsoleResources.h"
#include "console/settings/ConsoleSettings_win.h"
#include "console/settings/Languages_win.h"
#include "guard/SystemProxySetting_win.h"
#include "guard/WebGuardLink.h"

namespace {

constexpr const char* kWindowClass = "HookwardenWebGuard";
constexpr UINT_PTR kCheckTimerId = 1;
// The pause between two looks at a starting guard's port.
constexpr DWORD kReadyPollMs = 50;

sockaddr_in LoopbackAddress(unsigned nPort) {
  sockaddr_in address = {};
  address.sin_family = AF_INET;
  address.sin_port = ::htons(static_cast<u_short>(nPort));
  address.sin_addr.s_addr = ::htonl(INADDR_LOOPBACK);
  return address;
}

// Whether this machine's loopback port is free for the guard to listen on.
bool IsLoopbackPortFree(unsigned nPort) {
  CCloseSocket probe(::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
  if (!probe) return false;
  // Also a port that another program shares with SO_REUSEADDR counts as taken.
  const BOOL bExclusive = TRUE;
  ::setsockopt(probe.Get(), SOL_SOCKET, SO_EXCLUSIVEADDRUSE, reinterpret_cast<const char*>(&bExclusive),
               sizeof(bExclusive));
  const sockaddr_in address = LoopbackAddress(nPort);
  return ::bind(probe.Get(), reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0;
}

bool AcceptsConnections(unsigned nPort) {
  CCloseSocket client(::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
  if (!client) return false;
  const sockaddr_in address = LoopbackAddress(nPort);
  return ::connect(client.Get(), reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0;
}

bool RegisterWindowClass(WNDPROC pWindowProc) {
  WNDCLASSA windowClass = {};
  if (::GetClassInfoA(::GetModuleHandleA(nullptr), kWindowClass, &windowClass)) return true;
  windowClass.lpfnWndProc = pWindowProc;
  windowClass.hInstance = ::GetModuleHandleA(nullptr);
  windowClass.lpszClassName = kWindowClass;
  return ::RegisterClassA(&windowClass) != 0;
}

}  // namespace

CWebGuard::CWebGuard(const CConsoleSettings& settings, std::function<void(const std::string&)> onStatus)
    : m_settings(settings), m_onStatus(std::move(onStatus)) {}

CWebGuard::~CWebGuard() {
  Stop();
}

void CWebGuard::Start() {
  // A copy still kept means the last run never put it back (it crashed or was
  // ended from outside): the user's values go back first.
  RestoreKeptProxySetting();
  // A window of its own for the checks' timer: every modal loop of the console
  // serves it, also while an alert is open.
  if (!m_wnd && RegisterWindowClass(&CWebGuard::WindowProc) &&
      ::CreateWindowExA(0, kWindowClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, ::GetModuleHandleA(nullptr),
                        reinterpret_cast<void*>(CreationParam()))) {
    ::SetTimer(m_wnd.Get(), kCheckTimerId, kWebGuardCheckMs, nullptr);
  }
  Check();
}

void CWebGuard::Stop() {
  m_wnd.Reset();
  EndGuard();
  PutBackUserSetting();
}

LRESULT CWebGuard::HandleWindowMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) {
  if (uMsg == WM_TIMER && wParam == kCheckTimerId) {
    Check();
    return 0;
  }
  return CConsoleWindow::HandleWindowMessage(uMsg, wParam, lParam);
}

void CWebGuard::Check() {
  if (m_process && ::WaitForSingleObject(m_process.Get(), 0) == WAIT_OBJECT_0) {
    // Died: until it runs again programs go direct rather than to a closed port.
    m_process.Reset();
    m_dwProcessId = 0;
    PutBackUserSetting();
    m_bFailed = true;
    ShowStatus(IDS_WEB_GUARD_STOPPED);
  }
  if (m_settings.m_overview.m_nCheckWebTraffic == 0) {
    EndGuard();
    PutBackUserSetting();
    if (m_bFailed) ShowStatus(0);
    m_bFailed = false;
    m_ullNextStart = 0;
    return;
  }
  const ULONGLONG ullNow = ::GetTickCount64();
  if (m_process || ullNow < m_ullNextStart) return;
  // At most one start a minute, however often it dies.
  m_ullNextStart = ullNow + kWebGuardRestartMs;
  if (!Launch()) {
    m_bFailed = true;
    ShowStatus(IDS_WEB_GUARD_STOPPED);
    return;
  }
  if (m_bFailed) ShowStatus(IDS_WEB_GUARD_RESTARTED);
  m_bFailed = false;
}

bool CWebGuard::Launch() {
  unsigned nPort = 0;
  for (unsigned nTry = kGuardFirstPort; nTry < kGuardFirstPort + kGuardPortsTried && !nPort; ++nTry) {
    if (IsLoopbackPortFree(nTry)) nPort = nTry;
  }
  if (!nPort) return false;
  const SProxySettingValues current = ReadSystemProxySetting();
  const std::string strFolder = m_settings.GetAppPath();
  const std::string strProgram = strFolder + kGuardProgram;
  const std::string strLine =
      GuardCommandLine(strProgram, ::GetCurrentProcessId(), nPort, UpstreamProxyOf(current, nPort));
  std::vector<char> commandLine(strLine.begin(), strLine.end());
  commandLine.push_back(0);
  STARTUPINFOA startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION started = {};
  if (!::CreateProcessA(strProgram.c_str(), commandLine.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                        strFolder.c_str(), &startup, &started))
    return false;
  const CCloseHandle thread(started.hThread);
  m_process.Reset(started.hProcess);
  m_dwProcessId = started.dwProcessId;
  m_nPort = nPort;
  if (!WaitUntilListening() || !PointSettingAtGuard(current)) {
    EndGuard();
    return false;
  }
  return true;
}

bool CWebGuard::WaitUntilListening() {
  const ULONGLONG ullEnd = ::GetTickCount64() + kWebGuardReadyWaitMs;
  while (!AcceptsConnections(m_nPort)) {
    // Waiting on the process: one that ends (its port was taken after all) ends the wait.
    if (::GetTickCount64() >= ullEnd || ::WaitForSingleObject(m_process.Get(), kReadyPollMs) == WAIT_OBJECT_0)
      return false;
  }
  return true;
}

void CWebGuard::EndGuard() {
  if (!m_process) return;
  const CCloseHandle stopEvent(::CreateEventA(nullptr, TRUE, FALSE, GuardStopEventName(m_dwProcessId).c_str()));
  if (stopEvent) ::SetEvent(stopEvent.Get());
  // Asked first; made to end only when it does not within the deadline.
  if (!stopEvent || ::WaitForSingleObject(m_process.Get(), kWebGuardStopWaitMs) != WAIT_OBJECT_0) {
    ::TerminateProcess(m_process.Get(), 1);
    ::WaitForSingleObject(m_process.Get(), kWebGuardStopWaitMs);
  }
  m_process.Reset();
  m_dwProcessId = 0;
}

bool CWebGuard::PointSettingAtGuard(const SProxySettingValues& current) {
  // The user's values are kept before anything changes; without a copy the
  // setting stays theirs.
  if (!KeepProxySetting(current)) return false;
  m_userSetting = current;
  m_bPointed = true;
  WriteSystemProxySetting(GuardProxySetting(m_nPort));
  return true;
}

void CWebGuard::PutBackUserSetting() {
  if (!m_bPointed) return;
  // The copy goes only once the values are back.
  if (WriteSystemProxySetting(m_userSetting)) DropKeptProxySetting();
  m_bPointed = false;
}

void CWebGuard::ShowStatus(unsigned nStringId) {
  if (m_onStatus) m_onStatus(nStringId ? LoadLocalString(m_settings, nStringId) : std::string());
}
