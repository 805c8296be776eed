// Engine and console checks of the browser host (see HostChecks_win.h).
#include "browser/host/HostChecks_win.h"

#include <winsock2.h>
#include <windows.h>
#include <tlhelp32.h>

#include <cstdlib>
#include <cstring>

#include "engine/LSPGlobals.h"
#include "engine/browser/EngineMailMatchers_win.h"
#include "engine/browser/MailPageScan.h"
#include "engine/WebAddress.h"
#include "shared/BoundedCopy.h"
#include "shared/EngineRequest.h"
#include "shared/OwnedResources_win.h"

namespace {

// A user has all the time an alert needs; a console that never answers lets the page through.
constexpr UINT kConsoleTimeoutMs = 10 * 60 * 1000;

SBrowserProgram ProgramFromPath(const std::string& strPath) {
  const std::size_t nSlash = strPath.find_last_of('\\');
  return {strPath, nSlash == std::string::npos ? strPath : strPath.substr(nSlash + 1)};
}

std::string ImagePathOfProcess(DWORD dwProcessId) {
  CCloseHandle process(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, dwProcessId));
  char szPath[MAX_PATH] = {};
  DWORD cchPath = sizeof(szPath);
  if (!process || !::QueryFullProcessImageNameA(process.Get(), 0, szPath, &cchPath)) return std::string();
  return szPath;
}

DWORD ParentProcessId(DWORD dwChild) {
  CCloseHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot || snapshot.Get() == INVALID_HANDLE_VALUE) return 0;
  PROCESSENTRY32 entry = {};
  entry.dwSize = sizeof(entry);
  for (BOOL bMore = ::Process32First(snapshot.Get(), &entry); bMore; bMore = ::Process32Next(snapshot.Get(), &entry))
    if (entry.th32ProcessID == dwChild) return entry.th32ParentProcessID;
  return 0;
}

// Browsers may start their hosts through the command interpreter: the browser is
// the first ancestor that is not one.
std::string BrowserAncestorPath() {
  DWORD dwProcess = ::GetCurrentProcessId();
  for (int nLevel = 0; nLevel < 3; ++nLevel) {
    dwProcess = ParentProcessId(dwProcess);
    if (!dwProcess) return std::string();
    const std::string strPath = ImagePathOfProcess(dwProcess);
    if (strPath.empty()) return std::string();
    const std::string strName = ProgramFromPath(strPath).strName;
    if (_stricmp(strName.c_str(), "cmd.exe") != 0 && _stricmp(strName.c_str(), "conhost.exe") != 0) return strPath;
  }
  return std::string();
}

// UTF-8 from the browser into the system's code page, which the engine's matchers read.
std::string ToAnsi(const std::string& strUtf8) {
  if (strUtf8.empty()) return std::string();
  const int cchWide = ::MultiByteToWideChar(CP_UTF8, 0, strUtf8.data(), static_cast<int>(strUtf8.size()), nullptr, 0);
  if (cchWide <= 0) return std::string();
  std::wstring strWide(static_cast<std::size_t>(cchWide), L'\0');
  ::MultiByteToWideChar(CP_UTF8, 0, strUtf8.data(), static_cast<int>(strUtf8.size()), &strWide[0], cchWide);
  const int cbAnsi = ::WideCharToMultiByte(CP_ACP, 0, strWide.data(), cchWide, nullptr, 0, nullptr, nullptr);
  if (cbAnsi <= 0) return std::string();
  std::string strAnsi(static_cast<std::size_t>(cbAnsi), '\0');
  ::WideCharToMultiByte(CP_ACP, 0, strWide.data(), cchWide, &strAnsi[0], cbAnsi, nullptr, nullptr);
  // The engine reads zero-terminated texts: a zero inside would hide what follows.
  for (char& c : strAnsi)
    if (c == '\0') c = ' ';
  return strAnsi;
}

// Sends one request; answers whether a console took it, and its verdict.
SConsoleAnswer SendToConsole(unsigned long dwCode, const EngineRequest& request, std::size_t cbRequest) {
  SConsoleAnswer answer;
  HWND hConsole = CLSPGlobals::GetMainWndHandle();
  if (!hConsole) return answer;
  COPYDATASTRUCT copy = {};
  copy.dwData = dwCode;
  copy.cbData = static_cast<DWORD>(cbRequest);
  copy.lpData = const_cast<EngineRequest*>(&request);
  DWORD_PTR dwResult = 0;
  if (!::SendMessageTimeoutA(hConsole, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&copy), SMTO_NORMAL, kConsoleTimeoutMs,
                             &dwResult))
    return answer;  // ended or hung while asked: nobody decided
  answer.bConsole = true;
  answer.eVerdict = dwResult ? EVerdictAnswer::Allow : EVerdictAnswer::Block;
  return answer;
}

// The engine's mail matchers, and the console through the request channel. A
// page with findings while no console runs is let through and noted, so that the
// extension can say protection is off.
class CHostMailScanSite : public CEngineMailMatchers {
 public:
  long SendMailRequest(const EngineRequest& request) override {
    const SConsoleAnswer answer = SendToConsole(REQUEST_MAIL, request, MAIL_REQUEST_SIZE);
    if (!answer.bConsole) m_bConsoleMissing = true;
    return answer.bConsole && answer.eVerdict == EVerdictAnswer::Block ? VERDICT_BLOCK : VERDICT_ALLOW;
  }
  bool m_bConsoleMissing = false;
};

}  // namespace

SBrowserProgram FindBrowserProgram(int argc, char** argv, const std::string& strHint) {
  // Chrome names its window on Windows: its owner is the browser itself.
  for (int i = 1; i < argc; ++i) {
    const char* szOption = "--parent-window=";
    if (std::strncmp(argv[i], szOption, std::strlen(szOption)) != 0) continue;
    const auto hWnd = reinterpret_cast<HWND>(std::strtoull(argv[i] + std::strlen(szOption), nullptr, 10));
    DWORD dwOwner = 0;
    if (hWnd && ::GetWindowThreadProcessId(hWnd, &dwOwner) && dwOwner) {
      const std::string strPath = ImagePathOfProcess(dwOwner);
      if (!strPath.empty()) return ProgramFromPath(strPath);
    }
  }
  const std::string strPath = BrowserAncestorPath();
  if (!strPath.empty()) return ProgramFromPath(strPath);
  return ProgramFromPath(strHint.empty() ? std::string("browser") : strHint);
}

bool IsListedAddress(const std::string& strHost, unsigned short nPort, const std::string& strPath,
                     const std::string& strQuery) {
  return CLSPGlobals::IsBadWebAddress(strHost.c_str(), nPort, strPath.c_str(), strQuery.c_str());
}

std::string AddressForConsole(const SHostRequest& request) {
  // The console is told the address in the normal form it was checked in.
  const SWebAddress normal = NormalizeWebAddress(SWebAddress{request.strHost, request.nPort, request.strPath, ""});
  SHostRequest shown = request;
  shown.strHost = normal.strHost;
  shown.strPath = request.strPath.empty() ? std::string() : normal.strPath;
  return CheckedAddressText(shown, true);
}

bool IsConsoleRunning() {
  return CLSPGlobals::GetMainWndHandle() != nullptr;
}

SConsoleAnswer AskConsoleAboutAddress(const SBrowserProgram& browser, const SHostRequest& request,
                                      const std::string& strAddress) {
  EngineRequest record;
  std::memset(&record, 0, sizeof(record));
  CopyBounded(record.szProcessPath, browser.strPath.c_str());
  CopyBounded(record.szProcessName, browser.strName.c_str());
  CopyBounded(record.szHostIP, request.strHostIP.c_str());
  CopyBounded(record.szPort, std::to_string(request.nPort).c_str());
  CopyBounded(record.web.szUrl, strAddress.c_str());
  record.web.cWebKind = KIND_URL;
  return SendToConsole(REQUEST_URL, record, WEB_REQUEST_SIZE);
}

SMailAnswer ScanMailPageText(const SBrowserProgram& browser, const std::string& strText, const std::string& strHtml) {
  SMailAnswer result;
  const std::string strAnsiText = ToAnsi(strText);
  const std::string strAnsiHtml = ToAnsi(strHtml);
  CHostMailScanSite site;
  const EMailScanResult eResult = ScanMailText(strAnsiText.c_str(), strAnsiHtml.c_str(), browser.strPath.c_str(), site);
  result.bMail = eResult != EMailScanResult::NotMail;
  result.bFinding = eResult == EMailScanResult::Allowed || eResult == EMailScanResult::Blocked;
  result.answer.bConsole = result.bFinding ? !site.m_bConsoleMissing : IsConsoleRunning();
  result.answer.eVerdict = eResult == EMailScanResult::Blocked ? EVerdictAnswer::Block : EVerdictAnswer::Allow;
  return result;
}
