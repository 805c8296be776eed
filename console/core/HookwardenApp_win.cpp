#include "console/core/HookwardenApp_win.h"

#include <windows.h>

#include <cstring>

#include "console/settings/FileVersion_win.h"
#include "shared/BoundedCopy.h"

namespace {
CHookwardenApp* g_pCurrentApp = nullptr;
}  // namespace

CHookwardenApp::CHookwardenApp() {
  Init(nullptr);
}

CHookwardenApp::CHookwardenApp(const char* szAppFolder) {
  Init(szAppFolder);
}

CHookwardenApp::~CHookwardenApp() {
  if (g_pCurrentApp == this) g_pCurrentApp = m_pPrevious;
}

void CHookwardenApp::Init(const char* szAppFolder) {
  const DWORD cch = ::GetModuleFileNameA(nullptr, m_szModulePath, sizeof(m_szModulePath));
  if (cch == 0 || cch >= sizeof(m_szModulePath)) m_szModulePath[0] = 0;
  if (szAppFolder) {
    CopyBounded(m_szAppPath, szAppFolder);
  } else {
    // The module path up to, not including, the last backslash.
    CopyBounded(m_szAppPath, m_szModulePath);
    char* pLastBackslash = std::strrchr(m_szAppPath, '\\');
    if (pLastBackslash) *pLastBackslash = 0;
  }
  const UINT cchSystem = ::GetSystemDirectoryA(m_szSystemPath, sizeof(m_szSystemPath));
  if (cchSystem == 0 || cchSystem >= sizeof(m_szSystemPath)) m_szSystemPath[0] = 0;
  m_pPrevious = g_pCurrentApp;
  g_pCurrentApp = this;

  m_overview.m_strDefnsVersion = ReadDefinitionsVersion(m_szAppPath);
  m_overview.m_strConsoleVersion = GetFileVersionText(m_szModulePath);
  m_overview.m_strEngineVersion = GetFileVersionText((std::string(m_szAppPath) + "\\quellmail.dll").c_str());
}

std::vector<CSettingsSubkey*> CHookwardenApp::GetSettingsSubkeys() {
  return {&m_overview};
}

CHookwardenApp& CHookwardenApp::Current() {
  if (g_pCurrentApp) return *g_pCurrentApp;
  static CHookwardenApp* s_pFallback = [] {
    // Built once and never destroyed; it must not become the current object for
    // the objects built after it, so it leaves the chain at once.
    auto* pApp = new CHookwardenApp();
    g_pCurrentApp = pApp->m_pPrevious;
    pApp->m_pPrevious = nullptr;
    return pApp;
  }();
  return *s_pFallback;
}
