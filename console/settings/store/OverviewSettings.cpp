#include "console/settings/store/OverviewSettings.h"

#include <memory>

#include "console/settings/store/RegistryValueData.h"
#include "console/settings/store/StoredFields.h"

namespace {

constexpr const char* kOverviewKey = "Overview";

using COverview = COverviewSettings;
const SStoredField<COverview> kOverviewFields[] = {
    StoredNumber("NoOfBlockedInstructions", &COverview::m_nNoOfBlockedInstructions),
    StoredNumber("NoOfBlockedInstructionsHaveHighRating", &COverview::m_nNoOfBlockedInstructionsHaveHighRating),
    StoredNumber("NoOfEmailProtection", &COverview::m_nNoOfEmailProtection),
    StoredNumber("NoOfWebProtection", &COverview::m_nNoOfWebProtection),
    StoredNumber("LoadwithWindowsStartup", &COverview::m_nLoadwithWindowsStartup, EStoredForm::Flag),
    StoredText("Password", &COverview::m_strPassword),
    // A login lasts for one run: a stored 1 (from a save or backup made while
    // logged in, before a crash) must not let the next start in unasked.
    StoredZero<COverview>("IsLogin"),
    StoredNumber("CheckVer", &COverview::m_nCheckVer, EStoredForm::Flag),
    StoredNumber("LoadSplashScreen", &COverview::m_nLoadSplashScreen, EStoredForm::Flag),
    StoredNumber("CheckWebTraffic", &COverview::m_nCheckWebTraffic, EStoredForm::Flag),
};

}  // namespace

void COverviewSettings::ReadFromKey(IStoreKey& appKey) {
  const std::unique_ptr<IStoreKey> pKey = appKey.OpenSubKey(kOverviewKey);
  if (!pKey) return;
  m_nIsLogin = 0;
  ReadStoredFields(*pKey, kOverviewFields, this, kRegistryReadBufferSize);
}

CResult COverviewSettings::WriteToKey(IStoreKey& appKey) const {
  std::unique_ptr<IStoreKey> pKey;
  CResult result = appKey.CreateKey(kOverviewKey, &pKey);
  return result.IsOk() ? WriteStoredFields(*pKey, kOverviewFields, *this) : result;
}
