#include "console/settings/OverviewSettings_win.h"

#include "console/settings/RegistryValues_win.h"

namespace {
constexpr const char* kOverviewKey = "Overview";
}  // namespace

void COverviewSettings::ReadFromKey(HKEY hAppRegKey) {
  CRegCloseKey key;
  if (!OpenSettingsKey(hAppRegKey, kOverviewKey, key)) return;
  ReadCopiedValue(key.Get(), "NoOfBlockedInstructions", m_nNoOfBlockedInstructions);
  ReadCopiedValue(key.Get(), "NoOfBlockedInstructionsHaveHighRating", m_nNoOfBlockedInstructionsHaveHighRating);
  ReadCopiedValue(key.Get(), "NoOfEmailProtection", m_nNoOfEmailProtection);
  ReadCopiedValue(key.Get(), "NoOfWebProtection", m_nNoOfWebProtection);
  ReadFlagValue(key.Get(), "LoadwithWindowsStartup", m_nLoadwithWindowsStartup);
  ReadTextValue(key.Get(), "Password", m_strPassword);
  ReadFlagValue(key.Get(), "IsLogin", m_nIsLogin);
  ReadFlagValue(key.Get(), "CheckVer", m_nCheckVer);
  ReadFlagValue(key.Get(), "LoadSplashScreen", m_nLoadSplashScreen);
}

bool COverviewSettings::WriteToKey(HKEY hAppRegKey) const {
  CRegCloseKey key;
  if (!CreateSettingsKey(hAppRegKey, kOverviewKey, key)) return false;
  const HKEY h = key.Get();
  return WriteNumberValue(h, "NoOfBlockedInstructions", static_cast<std::uint32_t>(m_nNoOfBlockedInstructions)) &&
         WriteNumberValue(h, "NoOfBlockedInstructionsHaveHighRating",
                          static_cast<std::uint32_t>(m_nNoOfBlockedInstructionsHaveHighRating)) &&
         WriteNumberValue(h, "NoOfEmailProtection", static_cast<std::uint32_t>(m_nNoOfEmailProtection)) &&
         WriteNumberValue(h, "NoOfWebProtection", static_cast<std::uint32_t>(m_nNoOfWebProtection)) &&
         WriteNumberValue(h, "LoadwithWindowsStartup", static_cast<std::uint32_t>(m_nLoadwithWindowsStartup)) &&
         WriteTextValue(h, "Password", m_strPassword.c_str()) &&
         WriteNumberValue(h, "IsLogin", static_cast<std::uint32_t>(m_nIsLogin)) &&
         WriteNumberValue(h, "CheckVer", static_cast<std::uint32_t>(m_nCheckVer)) &&
         WriteNumberValue(h, "LoadSplashScreen", static_cast<std::uint32_t>(m_nLoadSplashScreen));
}
