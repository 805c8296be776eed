#include "console/settings/SettingsStore_win.h"

#include <string>

#include "console/ConsoleResources.h"
#include "console/core/HookwardenApp_win.h"
#include "console/settings/Languages_win.h"
#include "console/settings/NameCode.h"
#include "console/settings/RegistryValues_win.h"

namespace {

constexpr const char* kProductKeyName = "Hookwarden";
constexpr const char* kSavingKeyName = "Hookwarden.Saving";
constexpr const char* kCompleteKeyName = "Hookwarden.Complete";

bool KeyExists(HKEY hParent, const char* szName) {
  CRegCloseKey key;
  return OpenSettingsKey(hParent, szName, key);
}

// The language value: name and data are both name codes.
std::string LanguageValueName() {
  return EncodeNameCode("LANGUAGE");
}

// Rebuilds the product key from the complete saved state, then drops the mark and
// the saved copy, in this order, so that a stop at any point can be finished again.
bool InstallSavedSettings(HKEY hCompany) {
  CRegCloseKey saving;
  if (!OpenSettingsKey(hCompany, kSavingKeyName, saving)) return false;
  if (KeyExists(hCompany, kProductKeyName) && !DeleteSettingsTree(hCompany, kProductKeyName)) return false;
  CRegCloseKey product;
  if (!CreateSettingsKey(hCompany, kProductKeyName, product)) return false;
  if (!CopySettingsTree(saving.Get(), product.Get())) return false;
  saving.Reset();
  if (!DeleteSettingsTree(hCompany, kCompleteKeyName)) return false;
  return DeleteSettingsTree(hCompany, kSavingKeyName);
}

bool FinishInterruptedSave(HKEY hCompany) {
  const bool bSaving = KeyExists(hCompany, kSavingKeyName);
  if (KeyExists(hCompany, kCompleteKeyName)) {
    if (bSaving) return InstallSavedSettings(hCompany);
    return DeleteSettingsTree(hCompany, kCompleteKeyName);
  }
  // Without the mark the copy may be incomplete: the product key still holds the
  // settings from before.
  return !bSaving || DeleteSettingsTree(hCompany, kSavingKeyName);
}

bool WriteAllSettings(CHookwardenApp& app, HKEY hAppRegKey) {
  if (!WriteTextValue(hAppRegKey, LanguageValueName().c_str(), EncodeNameCode(app.m_strLanguage.c_str()).c_str()))
    return false;
  // "App Path" too: the engine library finds its files by it, also between a
  // save made while the console runs (a backup) and the next start.
  if (!WriteTextValue(hAppRegKey, "App Path", app.GetAppPath())) return false;
  if (!WriteTextValue(hAppRegKey, "DefnsVersion", app.m_overview.m_strDefnsVersion.c_str())) return false;
  for (const CSettingsSubkey* pSubkey : app.GetSettingsSubkeys()) {
    if (!pSubkey->WriteToKey(hAppRegKey)) return false;
  }
  return true;
}

}  // namespace

bool FinishInterruptedSave() {
  CRegCloseKey company;
  if (!OpenSettingsKey(HKEY_CURRENT_USER, kCompanyKeyPath, company, KEY_ALL_ACCESS)) return true;
  return FinishInterruptedSave(company.Get());
}

void WriteStartupValues(const CHookwardenApp& app) {
  FinishInterruptedSave();
  CRegCloseKey software, company, product;
  if (!OpenSettingsKey(HKEY_CURRENT_USER, "Software", software, KEY_ALL_ACCESS)) return;
  if (!CreateSettingsKey(software.Get(), "Corvinth", company)) return;
  if (!CreateSettingsKey(company.Get(), kProductKeyName, product)) return;
  WriteTextValue(product.Get(), "App Path", app.GetAppPath());
  WriteTextValue(product.Get(), "DefnsVersion", app.m_overview.m_strDefnsVersion.c_str());
}

void LoadSettings(CHookwardenApp& app) {
  FinishInterruptedSave();
  CRegCloseKey product;
  if (!OpenSettingsKey(HKEY_CURRENT_USER, kProductKeyPath, product)) return;
  std::string strCode;
  ReadTextValue(product.Get(), LanguageValueName().c_str(), strCode);
  const std::string strLanguage = DecodeNameCode(strCode.c_str());
  if (!strLanguage.empty()) app.m_strLanguage = strLanguage;
  for (CSettingsSubkey* pSubkey : app.GetSettingsSubkeys()) pSubkey->ReadFromKey(product.Get());
}

bool SaveAllSettings(CHookwardenApp& app) {
  CRegCloseKey company;
  if (!OpenSettingsKey(HKEY_CURRENT_USER, kCompanyKeyPath, company, KEY_ALL_ACCESS)) return false;
  if (!FinishInterruptedSave(company.Get())) return false;

  // The new state, complete, beside the old one.
  bool bWritten = false;
  {
    CRegCloseKey saving;
    bWritten = CreateSettingsKey(company.Get(), kSavingKeyName, saving) && WriteAllSettings(app, saving.Get());
  }
  CRegCloseKey complete;
  if (!bWritten || !CreateSettingsKey(company.Get(), kCompleteKeyName, complete)) {
    DeleteSettingsTree(company.Get(), kSavingKeyName);
    return false;
  }
  complete.Reset();
  return InstallSavedSettings(company.Get());
}

int SetStartupValue(const char* szName, const char* szData, bool bRemove) {
  CRegCloseKey run;
  if (!OpenSettingsKey(HKEY_CURRENT_USER, kStartupRunKeyPath, run, KEY_ALL_ACCESS)) return 0;
  const bool bDone = bRemove ? DeleteSettingsValue(run.Get(), szName) : WriteTextValue(run.Get(), szName, szData);
  return bDone ? 1 : 0;
}

int UpdateStartupValue(const CHookwardenApp& app) {
  const std::string strCommand = std::string(app.GetModulePath()) + " -min";
  return SetStartupValue(LoadLocalString(IDS_APP_TITLE).c_str(), strCommand.c_str(),
                         app.m_overview.m_nLoadwithWindowsStartup == 0);
}
