// Test helper: a second process that sends one request to the request window,
// found by its title through the engine library, and exits with the reply.
//   RequestSender CODE KIND CBDATA [unterminated]
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "engine/LSPGlobals.h"
#include "shared/BoundedCopy.h"
#include "shared/EngineRequest.h"

int main(int argc, char** argv) {
  if (argc < 4) return 100;
  EngineRequest request;
  std::memset(&request, 0, sizeof(request));
  CopyBounded(request.szProcessPath, "C:\\windows\\sender.exe");
  CopyBounded(request.szProcessName, "sender.exe");
  CopyBounded(request.szHostIP, "198.51.100.4");
  CopyBounded(request.szPort, "8080");
  const unsigned long dwCode = std::strtoul(argv[1], nullptr, 10);
  if (dwCode == REQUEST_MAIL) {
    CopyBounded(request.mail.szFrom, "billing@example.net");
    CopyBounded(request.mail.szSubject, "account suspended");
    request.mail.cMailKind = argv[2][0];
  } else {
    CopyBounded(request.web.szUrl, "phish.example.com/login");
    request.web.cWebKind = argv[2][0];
  }
  if (argc > 4 && !std::strcmp(argv[4], "unterminated")) std::memset(request.szPort, '9', sizeof(request.szPort));

  COPYDATASTRUCT copy = {};
  copy.dwData = dwCode;
  copy.cbData = std::strtoul(argv[3], nullptr, 10);
  copy.lpData = &request;
  HWND hWnd = CLSPGlobals::GetMainWndHandle();
  const LRESULT reply = ::SendMessageA(hWnd, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&copy));
  std::printf("window %p reply %ld\n", static_cast<void*>(hWnd), static_cast<long>(reply));
  return static_cast<int>(reply);
}
