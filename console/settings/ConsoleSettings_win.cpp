#include "console/settings/ConsoleSettings_win.h"

#include <optional>
#include <string>

#include <windows.h>

#include "definitions/DefinitionsVersion.h"
#include "console/settings/FileVersion_win.h"
#include "console/settings/LogArchive_win.h"
#include "shared/BoundedCopy.h"

CConsoleSettings::CConsoleSettings(const char* szAppFolder, const char* szModulePath, const char* szDataFolder) {
  CopyBounded(m_szAppPath, szAppFolder ? szAppFolder : "");
  CopyBounded(m_szDataPath, szDataFolder && szDataFolder[0] != 0 ? szDataFolder : m_szAppPath);
  if (szModulePath) {
    CopyBounded(m_szModulePath, szModulePath);
  } else {
    const DWORD cch = ::GetModuleFileNameA(nullptr, m_szModulePath, sizeof(m_szModulePath));
    if (cch == 0 || cch >= sizeof(m_szModulePath)) m_szModulePath[0] = 0;
  }
  m_alertLog = CAlertLogSettings(m_szDataPath, CurrentLocalTime());
  // The application folder's; start-up puts the version of the file it decrypts.
  m_overview.m_strDefnsVersion = DefinitionsVersionDate(ReadDefinitionsVersion(m_szAppPath));
  m_overview.m_strConsoleVersion = GetFileVersionText(m_szModulePath);
  m_overview.m_strEngineVersion = GetEngineVersion(m_szAppPath);
}

std::vector<CSettingsSubkey*> CConsoleSettings::GetSettingsSubkeys() {
  return {&m_overview, &m_alertLogSubkey, &m_mailSafeSubkey, &m_webSiteBlockingSubkey};
}

std::string CConsoleSettings::EffectiveUpdateAddress() const {
  return m_policies.TextOr(EPolicy::UpdateAddress, m_strUpdateAddress);
}

std::string CConsoleSettings::EffectiveUpdateInterval() const {
  const std::optional<std::uint32_t> nMinutes = m_policies.Number(EPolicy::UpdateInterval);
  return nMinutes ? std::to_string(*nMinutes) : m_strUpdateInterval;
}

bool CConsoleSettings::IsWebGuardOn() const {
  return m_overview.m_nCheckWebTraffic != 0 || m_policies.IsOn(EPolicy::WebGuardOn);
}

bool CConsoleSettings::HasOwnDataPath() const {
  return ::lstrcmpiA(m_szDataPath, m_szAppPath) != 0;
}

void CConsoleSettings::MoveLogFileOutOfAppFolder() {
  if (!HasOwnDataPath()) return;
  const CAlertLogSettings appFolderDefault(m_szAppPath);
  if (::lstrcmpiA(m_alertLog.GetLogFilePath().c_str(), appFolderDefault.GetLogFilePath().c_str()) != 0) return;
  m_alertLog.SetLogFileSettings(CAlertLogSettings(m_szDataPath).GetLogFilePath(), m_alertLog.GetArchiveOn(),
                                m_alertLog.GetArchivePeriod());
}
