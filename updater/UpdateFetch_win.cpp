#include "updater/UpdateFetch_win.h"

#include <windows.h>
#include <winhttp.h>

#include <vector>

#include "shared/OwnedResources_win.h"

namespace {

// Connect, send, wait for the answer and for each piece of the body.
constexpr int kResolveMs = 10000, kConnectMs = 10000, kSendMs = 15000, kReceiveMs = 30000;

std::wstring Widened(const std::string& str) {
  const int cch = ::MultiByteToWideChar(CP_ACP, 0, str.c_str(), static_cast<int>(str.size()), nullptr, 0);
  std::wstring strWide(static_cast<std::size_t>(cch), L'\0');
  if (cch > 0) ::MultiByteToWideChar(CP_ACP, 0, str.c_str(), static_cast<int>(str.size()), &strWide[0], cch);
  return strWide;
}

CResult Fail(DWORD dwCode, const std::string& strWhy) {
  return CResult(dwCode, strWhy);
}

// WinHTTP's reason, named in the text too; a call that failed without one still fails.
CResult FailWithLastError(const std::string& strWhy) {
  DWORD dwError = ::GetLastError();
  if (dwError == ERROR_SUCCESS) dwError = ERROR_GEN_FAILURE;
  return CResult(dwError, strWhy + " (error " + std::to_string(dwError) + ")");
}

}  // namespace

CResult FetchAddressInPieces(const std::string& strAddress, std::uint64_t cbMax, const PieceSink& body) {
  const std::wstring strWide = Widened(strAddress);
  URL_COMPONENTS parts = {};
  parts.dwStructSize = sizeof parts;
  parts.dwHostNameLength = parts.dwUrlPathLength = parts.dwExtraInfoLength = parts.dwSchemeLength =
      static_cast<DWORD>(-1);
  if (strWide.empty() || !::WinHttpCrackUrl(strWide.c_str(), static_cast<DWORD>(strWide.size()), 0, &parts) ||
      (parts.nScheme != INTERNET_SCHEME_HTTP && parts.nScheme != INTERNET_SCHEME_HTTPS) ||
      parts.dwHostNameLength == 0) {
    return Fail(ERROR_INVALID_PARAMETER, "the address " + strAddress + " is not an http or https address");
  }
  const std::wstring strHost(parts.lpszHostName, parts.dwHostNameLength);
  std::wstring strPath(parts.lpszUrlPath, parts.dwUrlPathLength);
  strPath.append(parts.lpszExtraInfo, parts.dwExtraInfoLength);
  if (strPath.empty()) strPath = L"/";

  CWinHttpCloseHandle session(::WinHttpOpen(L"Hookwarden-Update/1", WINHTTP_ACCESS_TYPE_DEFAULT_PROXY,
                                            WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0));
  if (!session) return FailWithLastError("WinHTTP cannot start");
  ::WinHttpSetTimeouts(session.Get(), kResolveMs, kConnectMs, kSendMs, kReceiveMs);
  CWinHttpCloseHandle connection(::WinHttpConnect(session.Get(), strHost.c_str(), parts.nPort, 0));
  const DWORD dwFlags = WINHTTP_FLAG_REFRESH | (parts.nScheme == INTERNET_SCHEME_HTTPS ? WINHTTP_FLAG_SECURE : 0);
  CWinHttpCloseHandle request;
  if (connection) {
    request.Reset(::WinHttpOpenRequest(connection.Get(), L"GET", strPath.c_str(), nullptr, WINHTTP_NO_REFERER,
                                       WINHTTP_DEFAULT_ACCEPT_TYPES, dwFlags));
  }
  if (!request ||
      !::WinHttpSendRequest(request.Get(), WINHTTP_NO_ADDITIONAL_HEADERS, 0, WINHTTP_NO_REQUEST_DATA, 0, 0, 0) ||
      !::WinHttpReceiveResponse(request.Get(), nullptr)) {
    return FailWithLastError("the update server of " + strAddress + " cannot be reached");
  }
  DWORD dwStatus = 0, cbStatus = sizeof dwStatus;
  if (!::WinHttpQueryHeaders(request.Get(), WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                             WINHTTP_HEADER_NAME_BY_INDEX, &dwStatus, &cbStatus, WINHTTP_NO_HEADER_INDEX) ||
      dwStatus != 200) {
    return Fail(ERROR_BAD_NET_RESP, "the server answered HTTP " + std::to_string(dwStatus) + " for " + strAddress);
  }
  // The announced length, when there is one, tells a cut download from a whole one.
  wchar_t szLength[32] = {};
  DWORD cbLength = sizeof szLength;
  std::uint64_t cbAnnounced = 0;
  const bool bAnnounced =
      ::WinHttpQueryHeaders(request.Get(), WINHTTP_QUERY_CONTENT_LENGTH, WINHTTP_HEADER_NAME_BY_INDEX, szLength,
                            &cbLength, WINHTTP_NO_HEADER_INDEX) != FALSE;
  if (bAnnounced) cbAnnounced = std::wcstoull(szLength, nullptr, 10);
  if (bAnnounced && cbAnnounced > cbMax) {
    return Fail(ERROR_FILE_TOO_LARGE, strAddress + " is larger than " + std::to_string(cbMax) + " bytes");
  }

  std::vector<char> buffer(64 * 1024);
  std::uint64_t cbBody = 0;
  for (;;) {
    DWORD cbRead = 0;
    if (!::WinHttpReadData(request.Get(), buffer.data(), static_cast<DWORD>(buffer.size()), &cbRead)) {
      return FailWithLastError("the download of " + strAddress + " broke off after " + std::to_string(cbBody) +
                               " bytes");
    }
    if (cbRead == 0) break;
    if (cbBody + cbRead > cbMax) {
      return Fail(ERROR_FILE_TOO_LARGE, strAddress + " is larger than " + std::to_string(cbMax) + " bytes");
    }
    cbBody += cbRead;
    CResult result = body(std::string_view(buffer.data(), cbRead));
    if (!result.IsOk()) return result;
  }
  if (bAnnounced && cbBody != cbAnnounced) {
    return Fail(ERROR_HANDLE_EOF, "the download of " + strAddress + " ended after " + std::to_string(cbBody) + " of " +
                                      std::to_string(cbAnnounced) + " bytes");
  }
  return CResult();
}

CResultOf<std::string> FetchAddress(const std::string& strAddress, std::uint64_t cbMax) {
  std::string strBody;
  CResult result = FetchAddressInPieces(strAddress, cbMax, [&strBody](std::string_view piece) {
    strBody.append(piece);
    return CResult();
  });
  if (!result.IsOk()) return result;
  return strBody;
}
