// The overview values: counters, the start-up, login, version-check and splash
// switches and the stored password, kept in the subkey "Overview"; and three
// version texts that are shown but never stored.
#pragma once

#include <cstdint>
#include <string>

#include "console/settings/store/SettingsSubkey.h"

class COverviewSettings : public CSettingsSubkey {
 public:
  // Each value is read into a 202-byte buffer, as earlier versions read it: a
  // longer one keeps the default.
  void ReadFromKey(IStoreKey& appKey) override;
  CResult WriteToKey(IStoreKey& appKey) const override;

  std::int32_t m_nNoOfBlockedInstructions = 0;
  // Entries of the alert log rated "High"; recounted from the log, stored for show.
  std::int32_t m_nNoOfBlockedInstructionsHaveHighRating = 0;
  std::int32_t m_nNoOfEmailProtection = 0;
  std::int32_t m_nNoOfWebProtection = 0;
  std::int32_t m_nLoadwithWindowsStartup = 1;
  // The name code of the password; empty means no password.
  std::string m_strPassword;
  // The login of this run; always stored as 0 and read back as 0.
  std::int32_t m_nIsLogin = 0;
  std::int32_t m_nCheckVer = 1;
  std::int32_t m_nLoadSplashScreen = 1;
  // "CheckWebTraffic": web traffic goes through the local web guard.
  std::int32_t m_nCheckWebTraffic = 1;

  // Shown, never stored.
  std::string m_strConsoleVersion;
  std::string m_strDefnsVersion;
  std::string m_strEngineVersion;
};
