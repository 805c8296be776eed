#include "console/settings/store/OverviewSettings.h"

#include "console/settings/store/RegistryValues_win.h"

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
  // A login lasts for one run: a stored 1 (from a save or backup made while
  // logged in, before a crash) must not let the next start in unasked.
  m_nIsLogin = 0;
  ReadFlagValue(key.Get(), "CheckVer", m_nCheckVer);
  ReadFlagValue(key.Get(), "LoadSplashScreen", m_nLoadSplashScreen);
  ReadFlagValue(key.Get(), "CheckWebTraffic", m_nCheckWebTraffic);
}

bool COverviewSettings::WriteToKey(IStoreKey& appKey) const {
  const std::unique_ptr<IStoreKey> pKey = appKey.CreateSubKey(kOverviewKey);
  if (!pKey) return false;
  IStoreKey& key = *pKey;
  return WriteStoredNumber(key, "NoOfBlockedInstructions", m_nNoOfBlockedInstructions) &&
         WriteStoredNumber(key, "NoOfBlockedInstructionsHaveHighRating", m_nNoOfBlockedInstructionsHaveHighRating) &&
         WriteStoredNumber(key, "NoOfEmailProtection", m_nNoOfEmailProtection) &&
         WriteStoredNumber(key, "NoOfWebProtection", m_nNoOfWebProtection) &&
         WriteStoredNumber(key, "LoadwithWindowsStartup", m_nLoadwithWindowsStartup) &&
         WriteStoredText(key, "Password", m_strPassword) && WriteStoredNumber(key, "IsLogin", 0) &&
         WriteStoredNumber(key, "CheckVer", m_nCheckVer) &&
         WriteStoredNumber(key, "LoadSplashScreen", m_nLoadSplashScreen) &&
         WriteStoredNumber(key, "CheckWebTraffic", m_nCheckWebTraffic);
}
