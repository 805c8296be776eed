// HookwdnGuard.exe, the console's web guard: the web proxy on the loopback
// address, which checks every web request of the programs that use the system's
// proxy setting as the socket-layer provider does (see WebGuardLink.h for its
// command line). It ends when the console asks (the stop event), when the console
// is gone, or on Ctrl+C. A console that is gone left the setting pointing here:
// the guard puts the user's values back before it ends, so that nobody is left
// without the web.
#include <windows.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "guard/ProxyScript.h"
#include "guard/SystemProxySetting_win.h"
#include "guard/UserProxySetup_win.h"
#include "guard/WebGuardLink.h"
#include "shared/EventLog_win.h"
#include "shared/OwnedResources_win.h"
#include "shared/Result_win.h"
#include "guard/proxy/HttpFields.h"
#include "guard/proxy/ProxyOptions.h"
#include "guard/proxy/ProxyServer_win.h"

namespace {

constexpr int kExitUsage = 2;
// How often the kept copy of the user's setting is read again.
constexpr DWORD kSetupRefreshMs = 2000;
// How long an asked stop waits for the connections still served: the console
// must be able to end at once, as at the end of a session.
constexpr DWORD kStopWaitMs = 200;
// How long a guard whose console is gone still serves once the user's setting is back.
constexpr DWORD kOrphanGraceMs = 3000;
// How long the end waits for the guard's events to reach the log.
constexpr DWORD kEventLogFlushMs = 1000;

int Usage(const std::string& strError) {
  std::fprintf(stderr,
               "HookwdnGuard: %s\n"
               "usage: HookwdnGuard --console PID [ADDRESS:]PORT [--script NAME] [proxy options]\n"
               "       HookwdnGuard %s\n",
               strError.c_str(), kGuardRestoreOption);
  return kExitUsage;
}

bool ParseProcessId(const char* szText, DWORD* pdwId) {
  unsigned long long nId = 0;
  if (!ParseDecimal(szText, &nId) || nId == 0 || nId > 0xFFFFFFFFull) return false;
  *pdwId = static_cast<DWORD>(nId);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && !std::strcmp(argv[1], kGuardRestoreOption)) {
    const CResult restored = RestoreKeptProxySetting();
    if (!restored.IsOk())
      std::fprintf(stderr, "HookwdnGuard: the proxy setting was not put back: %s\n", ResultMessage(restored).c_str());
    return restored.IsOk() ? 0 : 1;
  }

  // The guard's own options come out before the proxy's are read.
  std::vector<const char*> args(argv, argv + argc);
  DWORD dwConsoleId = 0;
  std::string strScriptName;
  if (args.size() >= 3 && !std::strcmp(args[1], kGuardConsoleOption)) {
    if (!ParseProcessId(args[2], &dwConsoleId)) return Usage(std::string("not a process id: ") + args[2]);
    args.erase(args.begin() + 1, args.begin() + 3);
  }
  for (std::size_t i = 1; i + 1 < args.size(); ++i) {
    if (std::strcmp(args[i], kGuardScriptOption) != 0) continue;
    strScriptName = args[i + 1];
    if (!IsProxyScriptName(strScriptName)) return Usage("not a script name: " + strScriptName);
    args.erase(args.begin() + static_cast<std::ptrdiff_t>(i), args.begin() + static_cast<std::ptrdiff_t>(i) + 2);
    break;
  }
  const CResultOf<SProxyOptions> parsed = ParseProxyOptions(static_cast<int>(args.size()), args.data(), 1);
  if (!parsed.IsOk()) return Usage(parsed.Result().Text());
  const SProxyOptions& options = parsed.Value();

  // The console's request to end, and the console itself: a guard whose console
  // is gone has nobody to ask and would hold its port.
  CCloseHandle stopEvent(::CreateEventA(nullptr, TRUE, FALSE, GuardStopEventName(::GetCurrentProcessId()).c_str()));
  if (!stopEvent) return Usage("the stop event could not be made");
  CCloseHandle console;
  if (dwConsoleId) {
    console.Reset(::OpenProcess(SYNCHRONIZE, FALSE, dwConsoleId));
    if (!console) return Usage("no console with process id " + std::to_string(dwConsoleId));
  }
  // A console's guard follows the user's own proxy setup that the console kept.
  CUserProxySetup setup(options.nPort, strScriptName, options.resolveOverrides);
  SProxyHooks hooks;
  hooks.dwStopWaitMs = kStopWaitMs;
  hooks.bOwnUserOnly = true;
  if (dwConsoleId) {
    hooks.chooseUpstream = [&setup](const std::string& strHost, unsigned nPort, bool bTunnel,
                                    SResolvedAddress* pUpstream) {
      return setup.ChooseUpstream(strHost, nPort, bTunnel, pUpstream);
    };
    hooks.ownPage = [&setup](const std::string& strPath, std::string* pstrType, std::string* pstrBody) {
      return setup.OwnPage(strPath, pstrType, pstrBody);
    };
  }
  // Why the guard ends, for the log: the watcher knows when the console did it.
  std::atomic<bool> bProxyEnded{false};
  std::atomic<EGuardStop> eStop{EGuardStop::ByItself};
  std::thread watcher([&stopEvent, &console, &setup, &bProxyEnded, &eStop, dwConsoleId] {
    const HANDLE handles[] = {stopEvent.Get(), console.Get()};
    for (;;) {
      const DWORD dwWhich = ::WaitForMultipleObjects(console ? 2 : 1, handles, FALSE, kSetupRefreshMs);
      if (dwWhich == WAIT_TIMEOUT) {
        if (dwConsoleId) setup.Refresh();
        continue;
      }
      // The console is gone without putting the user's setting back. Programs
      // that read the setting just before still come here for a moment.
      if (!bProxyEnded) eStop = dwWhich == WAIT_OBJECT_0 + 1 ? EGuardStop::ConsoleGone : EGuardStop::ConsoleAsked;
      if (dwWhich == WAIT_OBJECT_0 + 1) {
        // What is not put back stays kept, for the console's next start.
        static_cast<void>(RestoreKeptProxySetting());
        ::WaitForSingleObject(handles[0], kOrphanGraceMs);
      }
      break;
    }
    RequestProxyStop();
  });
  const std::string strListen = options.strAddress + ":" + std::to_string(options.nPort);
  WriteEventLog(GuardStartedEvent(strListen, dwConsoleId));
  bool bConnectionsLeft = false;
  const CResult ran = RunProxy(options, hooks, &bConnectionsLeft);
  if (!ran.IsOk()) std::fprintf(stderr, "web proxy: %s\n", ResultMessage(ran).c_str());
  const int nExit = ran.IsOk() ? 0 : 1;
  // Ended by itself (--seconds, Ctrl+C, a port it could not have): release the watcher.
  bProxyEnded = true;
  ::SetEvent(stopEvent.Get());
  watcher.join();
  WriteEventLog(GuardStoppedEvent(strListen, eStop, nExit));
  FlushEventLog(kEventLogFlushMs);
  std::fflush(stdout);
  // Connections still being served end with the process, at once.
  if (bConnectionsLeft) ::TerminateProcess(::GetCurrentProcess(), static_cast<UINT>(nExit));
  return nExit;
}
