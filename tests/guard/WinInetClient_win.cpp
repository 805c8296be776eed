// A program that reaches the web as browsers do, through WinINet with the
// system's proxy setting (INTERNET_OPEN_TYPE_PRECONFIG): fetches URL and prints
// the proxy it was given, the answer's status and its text.
//   wininet-client URL
// Exit code 0 when an answer came, 1 when none did, 2 for a usage error.
#include <windows.h>
#include <wininet.h>

#include <cstdio>
#include <string>
#include <vector>

#include "shared/OwnedResources_win.h"

namespace {

void PrintProxy(HINTERNET hInternet) {
  DWORD cbInfo = 0;
  ::InternetQueryOptionA(hInternet, INTERNET_OPTION_PROXY, nullptr, &cbInfo);
  std::vector<char> info(cbInfo + 1);
  if (!cbInfo || !::InternetQueryOptionA(hInternet, INTERNET_OPTION_PROXY, info.data(), &cbInfo)) return;
  const auto* pProxy = reinterpret_cast<const INTERNET_PROXY_INFO*>(info.data());
  const bool bNamed = pProxy->dwAccessType == INTERNET_OPEN_TYPE_PROXY && pProxy->lpszProxy;
  std::printf("proxy | %s\n", bNamed ? reinterpret_cast<const char*>(pProxy->lpszProxy) : "(direct)");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  const CInternetCloseHandle internet(
      ::InternetOpenA("wininet-client", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
  if (!internet) return 1;
  PrintProxy(internet.Get());
  const DWORD dwFlags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_PRAGMA_NOCACHE;
  const CInternetCloseHandle request(::InternetOpenUrlA(internet.Get(), argv[1], nullptr, 0, dwFlags, 0));
  if (!request) {
    std::printf("no answer: error %lu\n", ::GetLastError());
    return 1;
  }
  DWORD dwStatus = 0;
  DWORD cbStatus = sizeof(dwStatus);
  ::HttpQueryInfoA(request.Get(), HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &dwStatus, &cbStatus, nullptr);
  std::printf("HTTP %lu\n", dwStatus);
  std::string strBody;
  char buffer[4096];
  DWORD cbRead = 0;
  while (::InternetReadFile(request.Get(), buffer, sizeof(buffer), &cbRead) && cbRead > 0) strBody.append(buffer, cbRead);
  std::size_t nStart = 0;
  while (nStart < strBody.size()) {
    std::size_t nEnd = strBody.find('\n', nStart);
    if (nEnd == std::string::npos) nEnd = strBody.size();
    std::printf("page | %s\n", strBody.substr(nStart, nEnd - nStart).c_str());
    nStart = nEnd + 1;
  }
  return 0;
}
