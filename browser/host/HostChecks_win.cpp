// Engine and console checks of the browser host (see HostChecks_win.h).
#include "browser/host/HostChecks_win.h"

#include <winsock2.h>
#include <windows.h>
#include <tlhelp32.h>

#include <cstdlib>
#include <cstring>

#include "browser/host/HostAddressKey.h"
#include "engine/LSPGlobals.h"
#include "engine/browser/EngineMailMatchers_win.h"
#include "engine/browser/MailPageScan.h"
#include "shared/OwnedResources_win.h"
#include "shared/RequestChannel_win.h"

namespace {

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

SConsoleAnswer AnswerOf(const SConsoleReply& reply) {
  SConsoleAnswer answer;
  answer.bConsole = reply.bAnswered;
  answer.eVerdict = reply.nVerdict == VERDICT_ALLOW ? EVerdictAnswer::Allow : EVerdictAnswer::Block;
  return answer;
}

// The engine's mail matchers, and the console through the request channel. A
// finding nobody answered blocks the page, as everywhere, and is noted, so that
// the extension can say that the console could not be asked.
class CHostMailScanSite : public CEngineMailMatchers {
 public:
  long SendMailRequest(const SMailRequest& request) override {
    const SConsoleReply reply = SendToConsole(CLSPGlobals::GetMainWndHandle(), request);
    if (!reply.bAnswered) m_bConsoleMissing = true;
    return reply.nVerdict;
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
  const bool bListedWithoutQuery =
      request.strQuery.empty() || IsListedAddress(request.strHost, request.nPort, request.strPath, std::string());
  return HostAddressKey(request, bListedWithoutQuery);
}

bool IsConsoleRunning() {
  return CLSPGlobals::GetMainWndHandle() != nullptr;
}

SConsoleAnswer AskConsoleAboutAddress(const SBrowserProgram& browser, const SHostRequest& request,
                                      const std::string& strAddress) {
  SWebRequest asked;
  asked.eKind = EWebKind::Url;
  asked.source.strProcessPath = browser.strPath;
  asked.source.strProgram = browser.strName;
  asked.source.strHostIP = request.strHostIP;
  asked.source.nPort = request.nPort;
  asked.strUrl = strAddress;
  return AnswerOf(SendToConsole(CLSPGlobals::GetMainWndHandle(), asked));
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
