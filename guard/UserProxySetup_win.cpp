// The user's proxy setup as the guard follows it (see UserProxySetup_win.h).
#include "guard/UserProxySetup_win.h"

#include <windows.h>
#include <winhttp.h>

#include <vector>

#include "guard/ProxyScript.h"
#include "guard/SystemProxySetting_win.h"
#include "guard/proxy/HttpFields.h"
#include "shared/OwnedResources_win.h"

namespace {

// How long a chosen upstream holds, and how many hosts are remembered at most.
constexpr unsigned long long kChoiceHoldMs = 30 * 1000;
constexpr std::size_t kMaxChoices = 1024;
constexpr const char* kScriptType = "application/x-ns-proxy-autoconfig";

std::wstring Widened(const std::string& strText) {
  const int cch = ::MultiByteToWideChar(CP_UTF8, 0, strText.c_str(), -1, nullptr, 0);
  if (cch <= 0) return std::wstring();
  std::vector<wchar_t> wide(static_cast<std::size_t>(cch));
  ::MultiByteToWideChar(CP_UTF8, 0, strText.c_str(), -1, wide.data(), cch);
  return std::wstring(wide.data());
}

std::string Narrowed(const wchar_t* wszText) {
  const int cb = ::WideCharToMultiByte(CP_UTF8, 0, wszText, -1, nullptr, 0, nullptr, nullptr);
  if (cb <= 0) return std::string();
  std::vector<char> narrow(static_cast<std::size_t>(cb));
  ::WideCharToMultiByte(CP_UTF8, 0, wszText, -1, narrow.data(), cb, nullptr, nullptr);
  return std::string(narrow.data());
}

}  // namespace

CUserProxySetup::CUserProxySetup(unsigned nGuardPort, std::string strScriptName, CResolveOverrides overrides)
    : m_nGuardPort(nGuardPort), m_strScriptName(std::move(strScriptName)), m_overrides(std::move(overrides)) {
  Refresh();
}

void CUserProxySetup::Refresh() {
  SProxySettingValues user;
  SProxySettingValues written;
  bool bWrittenKept = false;
  if (!ReadKeptProxySetting(&user, &written, &bWrittenKept)) return;
  std::lock_guard<std::mutex> lock(m_mutex);
  if (IsSameSetting(user, m_user)) return;
  m_user = user;
  m_choices.clear();
}

bool CUserProxySetup::ChooseUpstream(const std::string& strHost, unsigned nPort, bool bTunnel,
                                     SResolvedAddress* pUpstream) {
  const std::string strKey = std::string(bTunnel ? "t " : "h ") + strHost + ":" + std::to_string(nPort);
  const unsigned long long ullNow = ::GetTickCount64();
  SProxySettingValues user;
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    const auto found = m_choices.find(strKey);
    if (found != m_choices.end() && found->second.ullUntil > ullNow) {
      *pUpstream = found->second.upstream;
      return found->second.bUpstream;
    }
    user = m_user;
  }
  std::string strProxy;
  bool bAnswered = false;
  const std::string strScriptUrl = AutoConfigUrlOf(user);
  if (!strScriptUrl.empty()) {
    const std::string strAddress =
        std::string(bTunnel ? "https://" : "http://") + strHost + ":" + std::to_string(nPort) + "/";
    strProxy = AskUserScript(strScriptUrl, strAddress, &bAnswered);
  }
  // Without a script, or with one that cannot be had, the fixed entry decides.
  if (!bAnswered) strProxy = UpstreamProxyFor(user, bTunnel, m_nGuardPort);
  SChoice choice;
  choice.ullUntil = ullNow + kChoiceHoldMs;
  const std::size_t nColon = strProxy.rfind(':');
  unsigned long long nProxyPort = 0;
  if (nColon != std::string::npos && ParseDecimal(strProxy.substr(nColon + 1), &nProxyPort) && nProxyPort &&
      nProxyPort <= 65535) {
    choice.bUpstream = ResolveHost(strProxy.substr(0, nColon), static_cast<unsigned>(nProxyPort), m_overrides,
                                   &choice.upstream);
  }
  std::lock_guard<std::mutex> lock(m_mutex);
  if (m_choices.size() >= kMaxChoices) m_choices.clear();
  m_choices[strKey] = choice;
  *pUpstream = choice.upstream;
  return choice.bUpstream;
}

bool CUserProxySetup::OwnPage(const std::string& strPath, std::string* pstrType, std::string* pstrBody) {
  if (m_strScriptName.empty() || strPath != ProxyScriptPath(m_strScriptName)) return false;
  SProxySettingValues user;
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    user = m_user;
  }
  *pstrType = kScriptType;
  *pstrBody = ProxyScriptText(m_nGuardPort, BypassListWithLocal(user));
  return true;
}

std::string CUserProxySetup::AskUserScript(const std::string& strScriptUrl, const std::string& strAddress,
                                           bool* pbAnswered) {
  *pbAnswered = false;
  const CWinHttpCloseHandle session(
      ::WinHttpOpen(L"HookwdnGuard", WINHTTP_ACCESS_TYPE_NO_PROXY, WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0));
  if (!session) return std::string();
  const std::wstring wstrScript = Widened(strScriptUrl);
  const std::wstring wstrAddress = Widened(strAddress);
  WINHTTP_AUTOPROXY_OPTIONS options = {};
  options.dwFlags = WINHTTP_AUTOPROXY_CONFIG_URL;
  options.lpszAutoConfigUrl = wstrScript.c_str();
  options.fAutoLogonIfChallenged = TRUE;
  WINHTTP_PROXY_INFO info = {};
  if (!::WinHttpGetProxyForUrl(session.Get(), wstrAddress.c_str(), &options, &info)) return std::string();
  const CGlobalFree proxy(info.lpszProxy);
  const CGlobalFree bypass(info.lpszProxyBypass);
  *pbAnswered = true;
  if (info.dwAccessType != WINHTTP_ACCESS_TYPE_NAMED_PROXY || !info.lpszProxy) return std::string();
  // "HOST:PORT; HOST2:PORT2": the first; the guard itself is never its own upstream.
  std::string strList = Narrowed(info.lpszProxy);
  const std::size_t nEnd = strList.find_first_of("; ");
  std::string strFirst = strList.substr(0, nEnd);
  SProxySettingValues named;
  named.enable.bPresent = true;
  named.enable.dwType = REG_DWORD;
  named.enable.strData = std::string("\x01\x00\x00\x00", 4);
  named.server.bPresent = true;
  named.server.dwType = REG_SZ;
  named.server.strData = strFirst;
  return UpstreamProxyFor(named, false, m_nGuardPort);
}
