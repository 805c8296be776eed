#include "console/settings/ConsoleSettings_win.h"

#include <windows.h>

#include "console/settings/FileVersion_win.h"
#include "console/settings/LogArchive_win.h"
#include "shared/BoundedCopy.h"

CConsoleSettings::CConsoleSettings(const char* szAppFolder, const char* szModulePath) {
  CopyBounded(m_szAppPath, szAppFolder ? szAppFolder : "");
  if (szModulePath) {
    CopyBounded(m_szModulePath, szModulePath);
  } else {
    const DWORD cch = ::GetModuleFileNameA(nullptr, m_szModulePath, sizeof(m_szModulePath));
    if (cch == 0 || cch >= sizeof(m_szModulePath)) m_szModulePath[0] = 0;
  }
  m_alertLog = CAlertLogSettings(m_szAppPath, CurrentLocalTime());
  m_overview.m_strDefnsVersion = ReadDefinitionsVersion(m_szAppPath);
  m_overview.m_strConsoleVersion = GetFileVersionText(m_szModulePath);
  m_overview.m_strEngineVersion = GetEngineVersion(m_szAppPath);
}

std::vector<CSettingsSubkey*> CConsoleSettings::GetSettingsSubkeys() {
  return {&m_overview, &m_alertLogSubkey, &m_mailSafeSubkey, &m_webSiteBlockingSubkey};
}
