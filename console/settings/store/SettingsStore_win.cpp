#include "console/settings/store/SettingsStore_win.h"

#include <memory>
#include <new>
#include <stdexcept>
#include <string>

#include "console/ConsoleResources.h"
#include "console/settings/ConsoleSettings_win.h"
#include "console/settings/Languages_win.h"
#include "console/settings/NameCode.h"
#include "console/settings/ProductKeyWatch_win.h"
#include "console/settings/store/RegistryValues_win.h"
#include "console/settings/store/SaveJournal.h"
#include "console/settings/store/StoredTree.h"
#include "shared/UserDataFolder_win.h"

namespace {

constexpr const char* kProductKeyName = "Hookwarden";
// Left by the full save of earlier versions: the new state, complete, and its mark.
constexpr const char* kSavingKeyName = "Hookwarden.Saving";
constexpr const char* kCompleteKeyName = "Hookwarden.Complete";
// The reason given when a copy of that state fails half-way.
constexpr StoreResult kCannotWrite = 1013;  // ERROR_CANTWRITE

// Counts the changes this process made to the product key. A settings object's
// stored state holds only while it carries the count of its own last load or
// save; after any other change the next save reads the key again.
unsigned g_nProductKeyChanges = 1;

void ProductKeyChanged() {
  ++g_nProductKeyChanges;
}

// Changes of the settings in the registry made outside this process's saves.
CProductKeyWatch g_outsideChanges;

bool KeyExists(IStoreKey& parent, const char* szName) {
  return parent.OpenSubKey(szName) != nullptr;
}

StoreResult RemoveIfThere(IStoreKey& parent, const char* szName) {
  const StoreResult nResult = parent.RemoveSubKey(szName);
  return nResult == STORE_FILE_NOT_FOUND ? STORE_SUCCESS : nResult;
}

// The language value: name and data are both name codes.
std::string LanguageValueName() {
  return EncodeNameCode("LANGUAGE");
}

// Rebuilds the product key from the complete saved state, then drops the mark and
// the saved copy, in this order, so that a stop at any point can be finished again.
StoreResult InstallSavedSettings(IStoreKey& company) {
  std::unique_ptr<IStoreKey> pSaving = company.OpenSubKey(kSavingKeyName);
  if (!pSaving) return STORE_FILE_NOT_FOUND;
  StoreResult nResult = RemoveIfThere(company, kProductKeyName);
  if (nResult != STORE_SUCCESS) return nResult;
  std::unique_ptr<IStoreKey> pProduct;
  nResult = company.CreateKey(kProductKeyName, &pProduct);
  if (nResult != STORE_SUCCESS) return nResult;
  if (!CopyStoreTree(*pSaving, *pProduct)) return kCannotWrite;
  pSaving.reset();
  nResult = company.RemoveSubKey(kCompleteKeyName);
  return nResult != STORE_SUCCESS ? nResult : company.RemoveSubKey(kSavingKeyName);
}

// Completes or drops what an interrupted save left beside the product key: first
// the saved copy of an earlier version, then the journal.
StoreResult FinishInterruptedSave(IStoreKey& company, bool* pbChanged) {
  *pbChanged = false;
  const bool bSaving = KeyExists(company, kSavingKeyName);
  StoreResult nResult = STORE_SUCCESS;
  if (KeyExists(company, kCompleteKeyName)) {
    *pbChanged = bSaving;
    nResult = bSaving ? InstallSavedSettings(company) : company.RemoveSubKey(kCompleteKeyName);
  } else if (bSaving) {
    // Without the mark the copy may be incomplete: the product key still holds the
    // settings from before.
    nResult = company.RemoveSubKey(kSavingKeyName);
  }
  if (nResult != STORE_SUCCESS) return nResult;
  bool bJournalApplied = false;
  nResult = FinishJournal(company, kProductKeyName, &bJournalApplied);
  *pbChanged = *pbChanged || bJournalApplied;
  return nResult;
}

StoreResult FinishInterruptedSaveAndCount(IStoreKey& company) {
  bool bChanged = false;
  const StoreResult nResult = FinishInterruptedSave(company, &bChanged);
  if (bChanged) ProductKeyChanged();
  return nResult;
}

void WriteAllSettings(CConsoleSettings& settings, IStoreKey& appKey) {
  WriteStoredText(appKey, LanguageValueName().c_str(), EncodeNameCode(settings.m_strLanguage.c_str()));
  // "App Path" too: the engine library finds its files by it, also between a
  // save made while the console runs (a backup) and the next start.
  WriteStoredText(appKey, "App Path", settings.GetAppPath());
  if (settings.HasOwnDataPath()) WriteStoredText(appKey, kDataPathValue, settings.GetDataPath());
  WriteStoredText(appKey, "DefnsVersion", settings.m_overview.m_strDefnsVersion);
  if (!settings.m_strUpdateAddress.empty()) WriteStoredText(appKey, kUpdateAddressValue, settings.m_strUpdateAddress);
  for (const CSettingsSubkey* pSubkey : settings.GetSettingsSubkeys()) pSubkey->WriteToKey(appKey);
}

// The key that holds the product key, opened for every change.
StoreResult OpenCompanyKey(std::unique_ptr<IStoreKey>* ppCompany) {
  CRegCloseKey company;
  const LONG lResult = OpenRegistryKey(HKEY_CURRENT_USER, kCompanyKeyPath, company, KEY_ALL_ACCESS);
  if (lResult == ERROR_SUCCESS) *ppCompany = std::make_unique<CRegistryStoreKey>(std::move(company));
  return lResult;
}

bool Failed(DWORD* pdwError, StoreResult nResult) {
  if (pdwError) *pdwError = static_cast<DWORD>(nResult);
  return false;
}

// The mark first: without it the next start drops the saved copy.
bool DropInterruptedSave(IStoreKey& company) {
  const bool bMarkGone = RemoveIfThere(company, kCompleteKeyName) == STORE_SUCCESS;
  const bool bSavingGone = bMarkGone && RemoveIfThere(company, kSavingKeyName) == STORE_SUCCESS;
  return DropJournal(company) == STORE_SUCCESS && bSavingGone;
}

}  // namespace

bool FinishInterruptedSave() {
  std::unique_ptr<IStoreKey> pCompany;
  if (OpenCompanyKey(&pCompany) != ERROR_SUCCESS) return true;
  return FinishInterruptedSaveAndCount(*pCompany) == STORE_SUCCESS;
}

void WriteStartupValues(const CConsoleSettings& settings) {
  FinishInterruptedSave();
  CRegCloseKey software, company, product;
  if (!OpenSettingsKey(HKEY_CURRENT_USER, "Software", software, KEY_ALL_ACCESS)) return;
  if (!CreateSettingsKey(software.Get(), "Corvinth", company)) return;
  if (!CreateSettingsKey(company.Get(), kProductKeyName, product)) return;
  ProductKeyChanged();
  // The user's folder first: an engine that finds the new "App Path" finds it too.
  if (settings.HasOwnDataPath()) {
    WriteTextValue(product.Get(), kDataPathValue, settings.GetDataPath());
  } else {
    ::RegDeleteValueA(product.Get(), kDataPathValue);
  }
  WriteTextValue(product.Get(), "App Path", settings.GetAppPath());
  WriteTextValue(product.Get(), "DefnsVersion", settings.m_overview.m_strDefnsVersion.c_str());
}

void LoadSettings(CConsoleSettings& settings, DWORD* pdwUnfinishedSave) {
  std::unique_ptr<IStoreKey> pCompany;
  StoreResult nUnfinished = STORE_SUCCESS;
  if (OpenCompanyKey(&pCompany) == ERROR_SUCCESS) nUnfinished = FinishInterruptedSaveAndCount(*pCompany);
  if (pdwUnfinishedSave) *pdwUnfinishedSave = static_cast<DWORD>(nUnfinished);
  // From here on, whatever another program changes makes the next save read anew.
  g_outsideChanges.Arm(kCompanyKeyPath);
  SStoredState& stored = settings.m_storedState;
  stored.tree = SStoredKey();
  stored.keptAsStored.clear();
  stored.bKnown = true;
  stored.nGeneration = g_nProductKeyChanges;
  CRegCloseKey product;
  if (!OpenSettingsKey(HKEY_CURRENT_USER, kProductKeyPath, product)) return;
  // The whole key is read once; the lists and the log read from that copy, which
  // the saves then compare with.
  CRegistryStoreKey productKey(product.Get());
  ReadStoreTree(productKey, &stored.tree);
  std::vector<SStoreChange> waiting;
  if (nUnfinished != STORE_SUCCESS && pCompany && ReadMarkedJournal(*pCompany, &waiting)) {
    // The key may hold part of a save: read it as that save leaves it.
    CStoredTreeKey treeKey(&stored.tree);
    ApplyStoreChanges(treeKey, waiting);
  }
  std::string strCode;
  ReadTextValue(product.Get(), LanguageValueName().c_str(), strCode);
  const std::string strLanguage = DecodeNameCode(strCode.c_str());
  if (!strLanguage.empty()) settings.m_strLanguage = strLanguage;
  ReadTextValue(product.Get(), kUpdateAddressValue, settings.m_strUpdateAddress);
  CStoredTreeKey storedKey(&stored.tree);
  for (CSettingsSubkey* pSubkey : settings.GetSettingsSubkeys()) pSubkey->ReadFromStoreKey(storedKey, product.Get());
  // What the settings would write now over values of another type that they could
  // not read: the saves leave those values alone until the user changes them.
  CChangeCollector collector(stored.tree);
  WriteAllSettings(settings, collector.ProductKey());
  stored.keptAsStored = KeptAsStored(stored.tree, collector.TakeChanges());
}

bool SaveAllSettings(CConsoleSettings& settings, DWORD* pdwError) {
  std::unique_ptr<IStoreKey> pCompany;
  const StoreResult nResult = OpenCompanyKey(&pCompany);
  if (nResult != STORE_SUCCESS) return Failed(pdwError, nResult);
  return SaveAllSettings(settings, *pCompany, pdwError);
}

bool SaveAllSettings(CConsoleSettings& settings, IStoreKey& company, DWORD* pdwError) {
  const bool bChangedOutside = g_outsideChanges.HasChanged();
  StoreResult nResult = FinishInterruptedSaveAndCount(company);
  if (nResult != STORE_SUCCESS) return Failed(pdwError, nResult);

  SStoredState& stored = settings.m_storedState;
  {
    const std::unique_ptr<IStoreKey> pProduct = company.OpenSubKey(kProductKeyName);
    if (!stored.bKnown || stored.nGeneration != g_nProductKeyChanges || !pProduct || bChangedOutside) {
      // Changed since, by another part of this process or another program, or
      // removed: read it again, so that the save writes the whole settings over
      // whatever is there now, never a few values into a key made anew.
      if (pProduct) {
        ReadStoreTree(*pProduct, &stored.tree);
      } else {
        stored.tree = SStoredKey();
      }
    }
  }
  nResult = SaveStoreChanges(
      company, kProductKeyName, &stored.tree, [&settings](IStoreKey& product) { WriteAllSettings(settings, product); },
      stored.keptAsStored);
  ProductKeyChanged();
  g_outsideChanges.Arm(kCompanyKeyPath);
  stored.bKnown = true;
  stored.nGeneration = g_nProductKeyChanges;
  if (nResult != STORE_SUCCESS) return Failed(pdwError, nResult);
  if (pdwError) *pdwError = 0;
  return true;
}

SSaveOutcome SaveAllSettingsReporting(CConsoleSettings& settings) {
  SSaveOutcome outcome;
  try {
    if (::GetEnvironmentVariableA(kThrowingSaveVariable, nullptr, 0) != 0)
      throw std::runtime_error("the save was made to fail");
    DWORD dwError = 0;
    outcome.bSaved = SaveAllSettings(settings, &dwError);
    if (!outcome.bSaved) outcome.strReason = SystemErrorText(dwError);
  } catch (const std::bad_alloc&) {
    outcome = SSaveOutcome{false, SystemErrorText(ERROR_NOT_ENOUGH_MEMORY)};
  } catch (const std::exception& error) {
    outcome = SSaveOutcome{false, std::string("an internal error (") + error.what() + ")"};
  } catch (...) {
    outcome = SSaveOutcome{false, "an internal error"};
  }
  return outcome;
}

bool DropInterruptedSave() {
  std::unique_ptr<IStoreKey> pCompany;
  if (OpenCompanyKey(&pCompany) != ERROR_SUCCESS) return true;
  ProductKeyChanged();
  return DropInterruptedSave(*pCompany);
}

bool DeleteProductKey() {
  std::unique_ptr<IStoreKey> pCompany;
  if (OpenCompanyKey(&pCompany) != ERROR_SUCCESS) return false;
  ProductKeyChanged();
  DropInterruptedSave(*pCompany);
  return RemoveIfThere(*pCompany, kProductKeyName) == STORE_SUCCESS;
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
