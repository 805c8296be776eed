#include <winsock2.h>

#include "console/core/WebGuard_win.h"

#include <cstdio>
#include <system_error>
#include <vector>

#include "console/ConsoleResources.h"
#include "console/settings/ConsoleSettings_win.h"
#include "console/settings/Languages_win.h"
#include "guard/ProxyScript.h"
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

// A name for the guard's script that another user's guard on a port this user
// once had cannot know: its answer for any other name sends programs direct.
std::string NewScriptName(DWORD dwConsoleId) {
  LARGE_INTEGER counter = {};
  ::QueryPerformanceCounter(&counter);
  char szName[40] = {};
  std::snprintf(szName, sizeof(szName), "%lx%llx", static_cast<unsigned long>(dwConsoleId),
                static_cast<unsigned long long>(counter.QuadPart) ^ ::GetTickCount64());
  return szName;
}

// Asks the guard to end; made to end when it has not after dwWaitMs.
void EndProcess(CCloseHandle& process, DWORD dwProcessId, DWORD dwWaitMs) {
  if (!process) return;
  const CCloseHandle stopEvent(::CreateEventA(nullptr, TRUE, FALSE, GuardStopEventName(dwProcessId).c_str()));
  if (stopEvent) ::SetEvent(stopEvent.Get());
  if (!stopEvent || ::WaitForSingleObject(process.Get(), dwWaitMs) != WAIT_OBJECT_0)
    ::TerminateProcess(process.Get(), 1);
  process.Reset();
}

}  // namespace

CWebGuard::CWebGuard(const CConsoleSettings& settings, std::function<void(const std::string&)> onStatus)
    : m_settings(settings), m_onStatus(std::move(onStatus)) {}

CWebGuard::~CWebGuard() {
  Stop();
}

void CWebGuard::Start() {
  // A copy still kept means the last run never put it back (it crashed or was
  // ended from outside): the user's values go back first. What is not put back
  // stays kept and is tried again at the next start.
  static_cast<void>(RestoreKeptProxySetting());
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
  CancelLaunch();
  EndGuard();
  PutBackUserSetting();
}

bool CWebGuard::OnAppMessage(const SAppMessage& message) {
  if (message.eMessage != EAppMessage::WebGuardLaunched) return false;
  FinishLaunch();
  return true;
}

LRESULT CWebGuard::HandleWindowMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) {
  if (uMsg == WM_TIMER && wParam == kCheckTimerId) {
    Check();
    return 0;
  }
  return CConsoleWindow::HandleWindowMessage(uMsg, wParam, lParam);
}

void CWebGuard::Check() {
  const ULONGLONG ullNow = ::GetTickCount64();
  if (m_process && ::WaitForSingleObject(m_process.Get(), 0) == WAIT_OBJECT_0) {
    // Died: until it runs again programs go direct rather than to a closed port.
    m_process.Reset();
    m_dwProcessId = 0;
    PutBackUserSetting();
    m_bFailed = true;
    ShowStatus(IDS_WEB_GUARD_STOPPED);
    // Started again at once; a guard that keeps dying waits longer each time.
    m_nQuickDeaths = ullNow - m_ullStarted < kWebGuardSteadyMs ? m_nQuickDeaths + 1 : 1;
    const std::size_t nDelays = sizeof(kWebGuardRestartDelaysMs) / sizeof(kWebGuardRestartDelaysMs[0]);
    m_ullNextStart = ullNow + kWebGuardRestartDelaysMs[m_nQuickDeaths - 1 < nDelays ? m_nQuickDeaths - 1 : nDelays - 1];
  }
  if (!m_settings.IsWebGuardOn()) {
    CancelLaunch();
    EndGuard();
    PutBackUserSetting();
    if (m_bFailed) ShowStatus(0);
    m_bFailed = false;
    m_ullNextStart = 0;
    m_nQuickDeaths = 0;
    return;
  }
  if (m_process) {
    TakeOverSettingChanges();
    return;
  }
  if (m_pLaunch || ullNow < m_ullNextStart) return;
  BeginLaunch();
}

void CWebGuard::BeginLaunch() {
  m_pLaunch.reset(new SLaunch);
  SLaunch* pLaunch = m_pLaunch.get();
  const std::string strFolder = m_settings.GetAppPath();
  const DWORD dwConsoleId = ::GetCurrentProcessId();
  const HWND hNotify = m_wnd.Get();
  if (hNotify) {
    try {
      pLaunch->worker = std::thread(&CWebGuard::Launch, pLaunch, strFolder, dwConsoleId, hNotify);
      return;
    } catch (const std::system_error&) {
    }
  }
  // Without a window to tell or a thread to start on, the start is waited for here.
  Launch(pLaunch, strFolder, dwConsoleId, nullptr);
  FinishLaunch();
}

void CWebGuard::Launch(SLaunch* pLaunch, std::string strFolder, DWORD dwConsoleId, HWND hNotify) {
  unsigned nPort = 0;
  for (unsigned nTry = kGuardFirstPort; nTry < kGuardFirstPort + kGuardPortsTried && !nPort; ++nTry) {
    if (IsLoopbackPortFree(nTry)) nPort = nTry;
  }
  const std::string strScript = NewScriptName(dwConsoleId);
  const SProxySettingValues current = ReadSystemProxySetting();
  const SProxySettingValues written =
      GuardProxySetting(nPort, current, DoesWinInetFollowScripts() ? ProxyScriptUrl(nPort, strScript) : std::string());
  // The user's values are kept before anything changes, and before the guard
  // starts, which forwards as they say; without a copy the setting stays theirs.
  if (nPort && KeepProxySetting(current, written).IsOk()) {
    const std::string strProgram = strFolder + kGuardProgram;
    const std::string strLine = GuardCommandLine(strProgram, dwConsoleId, nPort, std::string(), strScript);
    std::vector<char> commandLine(strLine.begin(), strLine.end());
    commandLine.push_back(0);
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION started = {};
    if (::CreateProcessA(strProgram.c_str(), commandLine.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                         strFolder.c_str(), &startup, &started)) {
      const CCloseHandle thread(started.hThread);
      CCloseHandle process(started.hProcess);
      const ULONGLONG ullEnd = ::GetTickCount64() + kWebGuardReadyWaitMs;
      bool bListening = false;
      // Waiting on the process: one that ends (its port was taken after all) ends the wait.
      while (!pLaunch->bCancel && !(bListening = AcceptsConnections(nPort)) && ::GetTickCount64() < ullEnd &&
             ::WaitForSingleObject(process.Get(), kReadyPollMs) == WAIT_TIMEOUT) {
      }
      if (bListening && !pLaunch->bCancel) {
        // A value not written shows at the next check as a setting otherwise than
        // written, which writes it again.
        static_cast<void>(WriteSystemProxySetting(written));
        pLaunch->bStarted = true;
        pLaunch->process = std::move(process);
        pLaunch->dwProcessId = started.dwProcessId;
        pLaunch->nPort = nPort;
        pLaunch->user = current;
        pLaunch->written = written;
      } else {
        EndProcess(process, started.dwProcessId, 0);
      }
    }
    if (!pLaunch->bStarted) static_cast<void>(DropKeptProxySetting());  // a copy left goes back at the next start
  }
  pLaunch->bDone = true;
  if (hNotify) PostConsoleMessage(hNotify, EAppMessage::WebGuardLaunched);
}

void CWebGuard::FinishLaunch() {
  if (!m_pLaunch || !m_pLaunch->bDone) return;
  if (m_pLaunch->worker.joinable()) m_pLaunch->worker.join();
  std::unique_ptr<SLaunch> pLaunch = std::move(m_pLaunch);
  if (!pLaunch->bStarted) {
    m_bFailed = true;
    ShowStatus(IDS_WEB_GUARD_STOPPED);
    m_nQuickDeaths = m_nQuickDeaths + 1;
    const std::size_t nDelays = sizeof(kWebGuardRestartDelaysMs) / sizeof(kWebGuardRestartDelaysMs[0]);
    m_ullNextStart =
        ::GetTickCount64() + kWebGuardRestartDelaysMs[m_nQuickDeaths < nDelays ? m_nQuickDeaths : nDelays - 1];
    return;
  }
  m_process = std::move(pLaunch->process);
  m_dwProcessId = pLaunch->dwProcessId;
  m_nPort = pLaunch->nPort;
  m_userSetting = pLaunch->user;
  m_writtenSetting = pLaunch->written;
  m_bPointed = true;
  m_ullStarted = ::GetTickCount64();
  if (m_bFailed) ShowStatus(IDS_WEB_GUARD_RESTARTED);
  m_bFailed = false;
  // Turned off while it started.
  if (!m_settings.IsWebGuardOn()) Check();
}

void CWebGuard::CancelLaunch() {
  if (!m_pLaunch) return;
  m_pLaunch->bCancel = true;
  if (m_pLaunch->worker.joinable()) m_pLaunch->worker.join();
  m_pLaunch->bDone = true;
  FinishLaunch();
}

void CWebGuard::TakeOverSettingChanges() {
  if (!m_bPointed) return;
  const SProxySettingValues current = ReadSystemProxySetting();
  if (IsSameSetting(current, m_writtenSetting)) return;
  // The user or another program (a VPN client) changed the setting while the
  // guard runs: their values become the user's, and the guard's are written
  // with them (the guard reads the kept copy again and forwards as it says).
  const SProxySettingValues user = SettingToPutBack(m_userSetting, m_writtenSetting, current);
  const SProxySettingValues written = GuardProxySetting(
      m_nPort, user, m_writtenSetting.autoConfig.bPresent ? AutoConfigUrlOf(m_writtenSetting) : std::string());
  if (!KeepProxySetting(user, written).IsOk()) {
    // Without a copy the setting is left to the user as it is now.
    m_bPointed = false;
    return;
  }
  m_userSetting = user;
  m_writtenSetting = written;
  static_cast<void>(WriteSystemProxySetting(written));  // written again at the next check otherwise
}

void CWebGuard::EndGuard() {
  EndProcess(m_process, m_dwProcessId, kWebGuardStopWaitMs);
  m_dwProcessId = 0;
}

void CWebGuard::PutBackUserSetting() {
  if (!m_bPointed) return;
  // Only values still as written go back; the copy goes once they are back.
  const SProxySettingValues current = ReadSystemProxySetting();
  const SProxySettingValues back = SettingToPutBack(m_userSetting, m_writtenSetting, current);
  // The copy stays for the next start while the setting is not back.
  if (IsSameSetting(back, current) || WriteSystemProxySetting(back).IsOk()) static_cast<void>(DropKeptProxySetting());
  m_bPointed = false;
}

void CWebGuard::ShowStatus(unsigned nStringId) {
  if (m_onStatus) m_onStatus(nStringId ? LoadLocalString(m_settings, nStringId) : std::string());
}
