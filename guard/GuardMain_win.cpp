// HookwdnGuard.exe, the console's web guard: the web proxy on the loopback
// address, which checks every web request of the programs that use the system's
// proxy setting as the socket-layer provider does (see WebGuardLink.h for its
// command line). It ends when the console asks (the stop event), when the console
// is gone, or on Ctrl+C.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <thread>

#include "guard/SystemProxySetting_win.h"
#include "guard/WebGuardLink.h"
#include "shared/OwnedResources_win.h"
#include "guard/proxy/HttpFields.h"
#include "guard/proxy/ProxyOptions.h"
#include "guard/proxy/ProxyServer_win.h"

namespace {

constexpr int kExitUsage = 2;

int Usage(const std::string& strError) {
  std::fprintf(stderr,
               "HookwdnGuard: %s\n"
               "usage: HookwdnGuard --console PID [ADDRESS:]PORT [proxy options]\n"
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
  if (argc == 2 && !std::strcmp(argv[1], kGuardRestoreOption)) return RestoreKeptProxySetting() ? 0 : 1;

  int nFirst = 1;
  DWORD dwConsoleId = 0;
  if (argc >= 3 && !std::strcmp(argv[1], kGuardConsoleOption)) {
    if (!ParseProcessId(argv[2], &dwConsoleId)) return Usage(std::string("not a process id: ") + argv[2]);
    nFirst = 3;
  }
  SProxyOptions options;
  std::string strError;
  if (!ParseProxyOptions(argc, argv, nFirst, &options, &strError)) return Usage(strError);

  // The console's request to end, and the console itself: a guard whose console
  // is gone has nobody to ask and would hold its port.
  CCloseHandle stopEvent(::CreateEventA(nullptr, TRUE, FALSE, GuardStopEventName(::GetCurrentProcessId()).c_str()));
  if (!stopEvent) return Usage("the stop event could not be made");
  CCloseHandle console;
  if (dwConsoleId) {
    console.Reset(::OpenProcess(SYNCHRONIZE, FALSE, dwConsoleId));
    if (!console) return Usage("no console with process id " + std::to_string(dwConsoleId));
  }
  std::thread watcher([&stopEvent, &console] {
    const HANDLE handles[] = {stopEvent.Get(), console.Get()};
    ::WaitForMultipleObjects(console ? 2 : 1, handles, FALSE, INFINITE);
    RequestProxyStop();
  });
  const int nExit = RunProxy(options);
  // Ended by itself (--seconds, Ctrl+C, a port it could not have): release the watcher.
  ::SetEvent(stopEvent.Get());
  watcher.join();
  return nExit;
}
