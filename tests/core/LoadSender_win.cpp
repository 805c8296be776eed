// Test helper for the load test: sends COUNT requests to the console, one after
// another, as program "loadSEED.exe": valid host-address requests for ten hosts,
// and every fifth a malformed record (too short, a field without terminator, an
// unknown code, a kind that does not fit its code). Prints what it sent and exits
// with the number of replies that differ from what the console owes.
//   LoadSender SEED COUNT
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "engine/LSPGlobals.h"
#include "shared/BoundedCopy.h"
#include "shared/EngineRequest.h"

int main(int argc, char** argv) {
  if (argc < 3) return 100;
  const std::string strProgram = std::string("load") + argv[1] + ".exe";
  const int nCount = std::atoi(argv[2]);
  const HWND hConsole = CLSPGlobals::GetMainWndHandle();
  int nValid = 0, nMalformed = 0, nWrong = 0;
  for (int i = 0; i < nCount; ++i) {
    EngineRequest request;
    std::memset(&request, 0, sizeof(request));
    CopyBounded(request.szProcessName, strProgram.c_str());
    CopyBounded(request.szPort, "80");
    CopyBounded(request.szHostIP, ("192.0.2." + std::to_string(100 + i % 10)).c_str());
    request.web.cWebKind = KIND_HOST_IP;
    COPYDATASTRUCT copy = {REQUEST_HOST_IP, static_cast<DWORD>(WEB_REQUEST_SIZE), &request};
    // Web display is off in the test, so every valid request is blocked unasked.
    LRESULT expected = VERDICT_BLOCK;
    if (i % 5 == 4) {
      ++nMalformed;
      switch (i / 5 % 4) {
        case 0:
          copy.cbData = 100;
          break;
        case 1:
          std::memset(request.szHostIP, '7', sizeof(request.szHostIP));
          break;
        case 2:
          copy.dwData = 1128;
          break;
        default:
          request.web.cWebKind = KIND_URL;  // allowed without handling
          expected = VERDICT_ALLOW;
          break;
      }
    } else {
      ++nValid;
    }
    const LRESULT reply = ::SendMessageA(hConsole, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&copy));
    if (reply != expected) ++nWrong;
  }
  std::printf("%s: %d valid, %d malformed, %d wrong replies\n", strProgram.c_str(), nValid, nMalformed, nWrong);
  return nWrong;
}
