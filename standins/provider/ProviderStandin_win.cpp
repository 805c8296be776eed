// Stand-in for the socket-layer provider: sends one web request to the console
// the way the provider does, prints the verdict and exits with it (1 allow,
// 0 block; 2 for a usage error).
//
//   provider-standin --kind I|U --ip ADDRESS --port PORT [--url URL]
//                    [--path PROCESS_PATH] [--name PROCESS_NAME]
#include <windows.h>

#include <cstdio>
#include <cstring>

#include "engine/LSPGlobals.h"
#include "shared/BoundedCopy.h"
#include "shared/EngineRequest.h"

namespace {

int Usage() {
  std::fprintf(stderr,
               "usage: provider-standin --kind I|U --ip ADDRESS --port PORT [--url URL]\n"
               "                        [--path PROCESS_PATH] [--name PROCESS_NAME]\n");
  return 2;
}

const char* NameOfPath(const char* szPath) {
  const char* pSlash = std::strrchr(szPath, '\\');
  return pSlash ? pSlash + 1 : szPath;
}

}  // namespace

int main(int argc, char** argv) {
  EngineRequest request;
  std::memset(&request, 0, sizeof(request));
  const char* szKind = nullptr;
  const char* szName = nullptr;
  const char* szPath = "C:\\Program Files\\Internet Explorer\\iexplore.exe";
  for (int i = 1; i + 1 < argc; i += 2) {
    const char* szOption = argv[i];
    const char* szValue = argv[i + 1];
    if (!std::strcmp(szOption, "--kind")) {
      szKind = szValue;
    } else if (!std::strcmp(szOption, "--ip")) {
      CopyBounded(request.szHostIP, szValue);
    } else if (!std::strcmp(szOption, "--port")) {
      CopyBounded(request.szPort, szValue);
    } else if (!std::strcmp(szOption, "--url")) {
      CopyBounded(request.web.szUrl, szValue);
    } else if (!std::strcmp(szOption, "--path")) {
      szPath = szValue;
    } else if (!std::strcmp(szOption, "--name")) {
      szName = szValue;
    } else {
      return Usage();
    }
  }
  if (argc % 2 == 0 || !szKind || (std::strcmp(szKind, "I") && std::strcmp(szKind, "U"))) return Usage();
  CopyBounded(request.szProcessPath, szPath);
  CopyBounded(request.szProcessName, szName ? szName : NameOfPath(szPath));
  request.web.cWebKind = szKind[0];

  COPYDATASTRUCT copy = {};
  copy.dwData = szKind[0] == KIND_HOST_IP ? REQUEST_HOST_IP : REQUEST_URL;
  copy.cbData = WEB_REQUEST_SIZE;
  copy.lpData = &request;

  HWND hConsole = CLSPGlobals::GetMainWndHandle();
  const LRESULT verdict = ::SendMessageA(hConsole, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&copy));
  const int nVerdict = verdict ? VERDICT_ALLOW : VERDICT_BLOCK;
  std::printf("request %lu kind '%c' program %s host %s port %s%s%s: %s%s\n", static_cast<unsigned long>(copy.dwData),
              request.web.cWebKind, request.szProcessName, request.szHostIP, request.szPort,
              szKind[0] == KIND_URL ? " url " : "", szKind[0] == KIND_URL ? request.web.szUrl : "",
              nVerdict ? "allow" : "block", hConsole ? "" : " (no console running)");
  return nVerdict;
}
