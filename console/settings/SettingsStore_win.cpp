#include "console/settings/SettingsStore_win.h"

#include <memory>
#include <string>

#include "console/ConsoleResources.h"
#include "console/settings/ConsoleSettings_win.h"
#include "console/settings/Languages_win.h"
#include "console/settings/NameCode.h"
#include "console/settings/RegistryValues_win.h"

namespace {

constexpr const char* kProductKeyName = "Hookwarden";
constexpr const char* kSavingKeyName = "Hookwarden.Saving";
constexpr const char* kCompleteKeyName = "Hookwarden.Complete";

bool KeyExists(IStoreKey& parent, const char* szName) {
  return parent.OpenSubKey(szName) != nullptr;
}

// The language value: name and data are both name codes.
std::string LanguageValueName() {
  return EncodeNameCode("LANGUAGE");
}

// Rebuilds the product key from the complete saved state, then drops the mark and
// the saved copy, in this order, so that a stop at any point can be finished again.
bool InstallSavedSettings(IStoreKey& company) {
  std::unique_ptr<IStoreKey> pSaving = company.OpenSubKey(kSavingKeyName);
  if (!pSaving) return false;
  if (KeyExists(company, kProductKeyName) && !company.DeleteSubKey(kProductKeyName)) return false;
  const std::unique_ptr<IStoreKey> pProduct = company.CreateSubKey(kProductKeyName);
  if (!pProduct || !CopyStoreTree(*pSaving, *pProduct)) return false;
  pSaving.reset();
  if (!company.DeleteSubKey(kCompleteKeyName)) return false;
  return company.DeleteSubKey(kSavingKeyName);
}

bool FinishInterruptedSave(IStoreKey& company) {
  const bool bSaving = KeyExists(company, kSavingKeyName);
  if (KeyExists(company, kCompleteKeyName)) {
    if (bSaving) return InstallSavedSettings(company);
    return company.DeleteSubKey(kCompleteKeyName);
  }
  // Without the mark the copy may be incomplete: the product key still holds the
  // settings from before.
  return !bSaving || company.DeleteSubKey(kSavingKeyName);
}

bool WriteAllSettings(CConsoleSettings& settings, IStoreKey& appKey) {
  if (!WriteStoredText(appKey, LanguageValueName().c_str(), EncodeNameCode(settings.m_strLanguage.c_str())))
    return false;
  // "App Path" too: the engine library finds its files by it, also between a
  // save made while the console runs (a backup) and the next start.
  if (!WriteStoredText(appKey, "App Path", settings.GetAppPath())) return false;
  if (!WriteStoredText(appKey, "DefnsVersion", settings.m_overview.m_strDefnsVersion)) return false;
  if (!settings.m_strUpdateAddress.empty() &&
      !WriteStoredText(appKey, kUpdateAddressValue, settings.m_strUpdateAddress)) {
    return false;
  }
  for (const CSettingsSubkey* pSubkey : settings.GetSettingsSubkeys()) {
    if (!pSubkey->WriteToKey(appKey)) return false;
  }
  return true;
}

// The key that holds the product key, opened for every change; null when missing.
std::unique_ptr<IStoreKey> OpenCompanyKey() {
  CRegCloseKey company;
  if (!OpenSettingsKey(HKEY_CURRENT_USER, kCompanyKeyPath, company, KEY_ALL_ACCESS)) return nullptr;
  return std::make_unique<CRegistryStoreKey>(std::move(company));
}

bool Failed(DWORD* pdwError, DWORD dwError) {
  if (pdwError) *pdwError = dwError;
  return false;
}

}  // namespace

bool FinishInterruptedSave() {
  const std::unique_ptr<IStoreKey> pCompany = OpenCompanyKey();
  return !pCompany || FinishInterruptedSave(*pCompany);
}

void WriteStartupValues(const CConsoleSettings& settings) {
  FinishInterruptedSave();
  CRegCloseKey software, company, product;
  if (!OpenSettingsKey(HKEY_CURRENT_USER, "Software", software, KEY_ALL_ACCESS)) return;
  if (!CreateSettingsKey(software.Get(), "Corvinth", company)) return;
  if (!CreateSettingsKey(company.Get(), kProductKeyName, product)) return;
  WriteTextValue(product.Get(), "App Path", settings.GetAppPath());
  WriteTextValue(product.Get(), "DefnsVersion", settings.m_overview.m_strDefnsVersion.c_str());
}

void LoadSettings(CConsoleSettings& settings) {
  FinishInterruptedSave();
  CRegCloseKey product;
  if (!OpenSettingsKey(HKEY_CURRENT_USER, kProductKeyPath, product)) return;
  std::string strCode;
  ReadTextValue(product.Get(), LanguageValueName().c_str(), strCode);
  const std::string strLanguage = DecodeNameCode(strCode.c_str());
  if (!strLanguage.empty()) settings.m_strLanguage = strLanguage;
  ReadTextValue(product.Get(), kUpdateAddressValue, settings.m_strUpdateAddress);
  for (CSettingsSubkey* pSubkey : settings.GetSettingsSubkeys()) pSubkey->ReadFromKey(product.Get());
}

bool SaveAllSettings(CConsoleSettings& settings, DWORD* pdwError) {
  ::SetLastError(0);
  const std::unique_ptr<IStoreKey> pCompany = OpenCompanyKey();
  if (!pCompany) return Failed(pdwError, ::GetLastError());
  return SaveAllSettings(settings, *pCompany, pdwError);
}

bool SaveAllSettings(CConsoleSettings& settings, IStoreKey& company, DWORD* pdwError) {
  ::SetLastError(0);
  if (!FinishInterruptedSave(company)) return Failed(pdwError, ::GetLastError());

  // The new state, complete, beside the old one.
  bool bWritten = false;
  {
    const std::unique_ptr<IStoreKey> pSaving = company.CreateSubKey(kSavingKeyName);
    bWritten = pSaving && WriteAllSettings(settings, *pSaving);
  }
  if (!bWritten || !company.CreateSubKey(kCompleteKeyName)) {
    const DWORD dwError = ::GetLastError();
    company.DeleteSubKey(kSavingKeyName);
    return Failed(pdwError, dwError);
  }
  if (!InstallSavedSettings(company)) return Failed(pdwError, ::GetLastError());
  if (pdwError) *pdwError = 0;
  return true;
}

namespace {

// The mark first: without it the next start drops the saved copy.
bool DropInterruptedSave(IStoreKey& company) {
  const bool bMarkGone = !KeyExists(company, kCompleteKeyName) || company.DeleteSubKey(kCompleteKeyName);
  return bMarkGone && (!KeyExists(company, kSavingKeyName) || company.DeleteSubKey(kSavingKeyName));
}

}  // namespace

bool DropInterruptedSave() {
  const std::unique_ptr<IStoreKey> pCompany = OpenCompanyKey();
  return !pCompany || DropInterruptedSave(*pCompany);
}

bool DeleteProductKey() {
  const std::unique_ptr<IStoreKey> pCompany = OpenCompanyKey();
  if (!pCompany) return false;
  DropInterruptedSave(*pCompany);
  return !KeyExists(*pCompany, kProductKeyName) || pCompany->DeleteSubKey(kProductKeyName);
}

int SetStartupValue(const char* szName, const char* szData, bool bRemove) {
  CRegCloseKey run;
  if (!OpenSettingsKey(HKEY_CURRENT_USER, kStartupRunKeyPath, run, KEY_ALL_ACCESS)) return 0;
  const bool bDone = bRemove ? DeleteSettingsValue(run.Get(), szName) : WriteTextValue(run.Get(), szName, szData);
  return bDone ? 1 : 0;
}

std::string StartupCommand(const char* szModulePath) {
  const std::string strPath = szModulePath ? szModulePath : "";
  if (strPath.find(' ') == std::string::npos) return strPath + " -min";
  return "\"" + strPath + "\" -min";
}

int UpdateStartupValue(const CConsoleSettings& settings) {
  const std::string strCommand = StartupCommand(settings.GetModulePath());
  return SetStartupValue(LoadLocalString(settings, IDS_APP_TITLE).c_str(), strCommand.c_str(),
                         settings.m_overview.m_nLoadwithWindowsStartup == 0);
}
