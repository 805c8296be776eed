#include "console/settings/store/SettingsStore_win.h"

#include <cstdint>
#include <memory>
#include <new>
#include <stdexcept>
#include <string>

#include "console/ConsoleResources.h"
#include "console/settings/ConsoleSettings_win.h"
#include "console/settings/Languages_win.h"
#include "console/settings/NameCode.h"
#include "console/settings/ProductKeyWatch_win.h"
#include "console/settings/store/RegistryStoreKey_win.h"
#include "console/settings/store/RegistryValueData.h"
#include "console/settings/store/RegistryValues_win.h"
#include "console/settings/store/SaveJournal.h"
#include "console/settings/store/StoredTree.h"
#include "shared/Policies_win.h"
#include "shared/UserDataFolder_win.h"

namespace {

constexpr const char* kProductKeyName = "Hookwarden";
// Left by the full save of earlier versions: the new state, complete, and its mark.
constexpr const char* kSavingKeyName = "Hookwarden.Saving";
constexpr const char* kCompleteKeyName = "Hookwarden.Complete";

// Counts the changes this process made to the product key. A settings object's
// stored state holds only while it carries the count of its own last load or
// save; after any other change the next save reads the key again.
unsigned g_nProductKeyChanges = 1;

void ProductKeyChanged() {
  ++g_nProductKeyChanges;
}

// Changes of the settings in the registry made outside this process's saves. The
// product key alone is watched: the guard's copy of the proxy setting and the
// save's journal beside it are no reason to read 10,000 entries again.
CProductKeyWatch g_outsideChanges;

bool KeyExists(IStoreKey& parent, const char* szName) {
  return parent.OpenSubKey(szName) != nullptr;
}

CResult RemoveIfThere(IStoreKey& parent, const char* szName) {
  CResult result = parent.RemoveSubKey(szName);
  return result.Code() == RESULT_FILE_NOT_FOUND ? CResult() : result;
}

// The language value: name and data are both name codes.
std::string LanguageValueName() {
  return EncodeNameCode("LANGUAGE");
}

// Rebuilds the product key from the complete saved state, then drops the mark and
// the saved copy, in this order, so that a stop at any point can be finished again.
CResult InstallSavedSettings(IStoreKey& company) {
  std::unique_ptr<IStoreKey> pSaving = company.OpenSubKey(kSavingKeyName);
  if (!pSaving) return CResult(RESULT_FILE_NOT_FOUND);
  CResult result = RemoveIfThere(company, kProductKeyName);
  if (!result.IsOk()) return result;
  std::unique_ptr<IStoreKey> pProduct;
  result = company.CreateKey(kProductKeyName, &pProduct);
  if (!result.IsOk()) return result;
  // The reason given when a copy of that state fails half-way.
  if (!CopyStoreTree(*pSaving, *pProduct).IsOk()) return CResult(ERROR_CANTWRITE);
  pSaving.reset();
  result = company.RemoveSubKey(kCompleteKeyName);
  return !result.IsOk() ? result : company.RemoveSubKey(kSavingKeyName);
}

// Completes or drops what an interrupted save left beside the product key: first
// the saved copy of an earlier version, then the journal.
CResult FinishInterruptedSave(IStoreKey& company, bool* pbChanged) {
  *pbChanged = false;
  const bool bSaving = KeyExists(company, kSavingKeyName);
  CResult result;
  if (KeyExists(company, kCompleteKeyName)) {
    *pbChanged = bSaving;
    result = bSaving ? InstallSavedSettings(company) : company.RemoveSubKey(kCompleteKeyName);
  } else if (bSaving) {
    // Without the mark the copy may be incomplete: the product key still holds the
    // settings from before.
    result = company.RemoveSubKey(kSavingKeyName);
  }
  if (!result.IsOk()) return result;
  bool bJournalApplied = false;
  result = FinishJournal(company, kProductKeyName, &bJournalApplied);
  *pbChanged = *pbChanged || bJournalApplied;
  return result;
}

CResult FinishInterruptedSaveAndCount(IStoreKey& company) {
  bool bChanged = false;
  CResult result = FinishInterruptedSave(company, &bChanged);
  if (bChanged) ProductKeyChanged();
  return result;
}

void WriteAllSettings(CConsoleSettings& settings, IStoreKey& appKey) {
  // Written into the comparing key, which takes every write: nothing fails here.
  static_cast<void>(
      WriteStoredText(appKey, LanguageValueName().c_str(), EncodeNameCode(settings.m_strLanguage.c_str())));
  // "App Path" too: the engine library finds its files by it, also between a
  // save made while the console runs (a backup) and the next start.
  static_cast<void>(WriteStoredText(appKey, kAppPathValue, settings.GetAppPath()));
  if (settings.HasOwnDataPath()) static_cast<void>(WriteStoredText(appKey, kDataPathValue, settings.GetDataPath()));
  static_cast<void>(WriteStoredText(appKey, kDefnsVersionValue, settings.m_overview.m_strDefnsVersion));
  if (!settings.m_strUpdateAddress.empty()) {
    static_cast<void>(WriteStoredText(appKey, kUpdateAddressValue, settings.m_strUpdateAddress));
  }
  if (!settings.m_strUpdateInterval.empty()) {
    static_cast<void>(WriteStoredText(appKey, kUpdateIntervalValue, settings.m_strUpdateInterval));
  }
  if (!settings.m_strLastUpdateCheck.empty()) {
    static_cast<void>(WriteStoredText(appKey, kLastUpdateCheckValue, settings.m_strLastUpdateCheck));
  }
  for (const CSettingsSubkey* pSubkey : settings.GetSettingsSubkeys()) static_cast<void>(pSubkey->WriteToKey(appKey));
}

// The values the console only keeps ("UpdateAddress", "UpdateInterval") as the
// product key holds them, read as the updater reads them every minute: a text, or
// a number (REG_DWORD) in decimal; empty when missing.
struct SKeptValues {
  std::string strUpdateAddress;
  std::string strUpdateInterval;
};

SKeptValues KeptValuesOf(SStoredKey& tree) {
  const auto storedText = [&tree](const char* szName) {
    const SStoredKey::SValue* pValue = tree.FindValue(szName);
    if (!pValue) return std::string();
    if (pValue->dwType == REG_DWORD && pValue->strData.size() == 4) {
      const auto* pBytes = reinterpret_cast<const unsigned char*>(pValue->strData.data());
      return std::to_string(static_cast<std::uint32_t>(CopiedValueData(pBytes, 4, 0)));
    }
    return pValue->dwType == REG_SZ ? pValue->strData.substr(0, pValue->strData.find('\0')) : std::string();
  };
  return {storedText(kUpdateAddressValue), storedText(kUpdateIntervalValue)};
}

// What another program changed of those values since the store last knew the key
// replaces the settings' copy, so that the save neither removes nor overwrites it.
void TakeOutsideChanges(const SKeptValues& before, const SKeptValues& now, CConsoleSettings& settings) {
  if (now.strUpdateAddress != before.strUpdateAddress) settings.m_strUpdateAddress = now.strUpdateAddress;
  if (now.strUpdateInterval != before.strUpdateInterval) settings.m_strUpdateInterval = now.strUpdateInterval;
}

// The key that holds the product key, opened for every change.
CResult OpenCompanyKey(std::unique_ptr<IStoreKey>* ppCompany) {
  CRegCloseKey company;
  CResult result = OpenRegistryKey(HKEY_CURRENT_USER, kCompanyKeyPath, company, KEY_ALL_ACCESS);
  if (result.IsOk()) *ppCompany = std::make_unique<CRegistryStoreKey>(std::move(company));
  return result;
}

// The mark first: without it the next start drops the saved copy. The first
// failure, after trying all three.
CResult DropInterruptedSave(IStoreKey& company) {
  CResult result = RemoveIfThere(company, kCompleteKeyName);
  if (result.IsOk()) result = RemoveIfThere(company, kSavingKeyName);
  CResult journal = DropJournal(company);
  return result.IsOk() ? journal : result;
}

}  // namespace

CResult FinishInterruptedSave() {
  std::unique_ptr<IStoreKey> pCompany;
  if (!OpenCompanyKey(&pCompany).IsOk()) return CResult();
  return FinishInterruptedSaveAndCount(*pCompany);
}

void WriteStartupValues(const CConsoleSettings& settings) {
  // A save left unfinished is finished by the load or the next save.
  static_cast<void>(FinishInterruptedSave());
  CRegCloseKey software, company, product;
  if (!OpenRegistryKey(HKEY_CURRENT_USER, "Software", software, KEY_ALL_ACCESS).IsOk()) return;
  if (!CreateRegistryKey(software.Get(), "Corvinth", company).IsOk()) return;
  if (!CreateRegistryKey(company.Get(), kProductKeyName, product).IsOk()) return;
  ProductKeyChanged();
  // The user's folder first: an engine that finds the new "App Path" finds it too.
  // These writes are tried again at every start and every save.
  if (settings.HasOwnDataPath()) {
    static_cast<void>(WriteTextValue(product.Get(), kDataPathValue, settings.GetDataPath()));
  } else {
    static_cast<void>(DeleteRegistryValue(product.Get(), kDataPathValue));
  }
  static_cast<void>(WriteTextValue(product.Get(), kAppPathValue, settings.GetAppPath()));
  static_cast<void>(WriteTextValue(product.Get(), kDefnsVersionValue, settings.m_overview.m_strDefnsVersion.c_str()));
}

CResult LoadSettings(CConsoleSettings& settings) {
  std::unique_ptr<IStoreKey> pCompany;
  CResult unfinished;
  if (OpenCompanyKey(&pCompany).IsOk()) unfinished = FinishInterruptedSaveAndCount(*pCompany);
  // From here on, whatever another program changes makes the next save read anew.
  g_outsideChanges.Arm(kProductKeyPath);
  settings.m_policies = ReadPolicies();
  SStoredState& stored = settings.m_storedState;
  stored.tree = SStoredKey();
  stored.keptAsStored.clear();
  stored.bKnown = true;
  stored.nGeneration = g_nProductKeyChanges;
  CRegCloseKey product;
  if (!OpenRegistryKey(HKEY_CURRENT_USER, kProductKeyPath, product).IsOk()) return unfinished;
  // The whole key is read once; the settings objects read from that copy, which
  // the saves then compare with.
  CRegistryStoreKey productKey(product.Get());
  ReadStoreTree(productKey, &stored.tree);
  std::vector<SStoreChange> waiting;
  if (!unfinished.IsOk() && pCompany && ReadMarkedJournal(*pCompany, &waiting)) {
    // The key may hold part of a save: read it as that save leaves it. The tree
    // takes every change.
    CStoredTreeKey treeKey(&stored.tree);
    static_cast<void>(ApplyStoreChanges(treeKey, waiting));
  }
  std::string strCode;
  ReadTextValue(product.Get(), LanguageValueName().c_str(), strCode);
  const std::string strLanguage = DecodeNameCode(strCode.c_str());
  if (!strLanguage.empty()) settings.m_strLanguage = strLanguage;
  ReadTextValue(product.Get(), kUpdateAddressValue, settings.m_strUpdateAddress);
  ReadTextValue(product.Get(), kUpdateIntervalValue, settings.m_strUpdateInterval);
  ReadTextValue(product.Get(), kLastUpdateCheckValue, settings.m_strLastUpdateCheck);
  CStoredTreeKey storedKey(&stored.tree);
  for (CSettingsSubkey* pSubkey : settings.GetSettingsSubkeys()) pSubkey->ReadFromKey(storedKey);
  // What the settings would write now over values of another type that they could
  // not read: the saves leave those values alone until the user changes them.
  CChangeCollector collector(stored.tree);
  WriteAllSettings(settings, collector.ProductKey());
  stored.keptAsStored = KeptAsStored(stored.tree, collector.TakeChanges());
  return unfinished;
}

CResult SaveAllSettings(CConsoleSettings& settings) {
  std::unique_ptr<IStoreKey> pCompany;
  CResult result = OpenCompanyKey(&pCompany);
  return result.IsOk() ? SaveAllSettings(settings, *pCompany) : result;
}

CResult SaveAllSettings(CConsoleSettings& settings, IStoreKey& company) {
  const bool bChangedOutside = g_outsideChanges.HasChanged();
  CResult result = FinishInterruptedSaveAndCount(company);
  if (!result.IsOk()) return result;

  SStoredState& stored = settings.m_storedState;
  {
    const std::unique_ptr<IStoreKey> pProduct = company.OpenSubKey(kProductKeyName);
    if (!stored.bKnown || stored.nGeneration != g_nProductKeyChanges || !pProduct || bChangedOutside) {
      // Changed since, by another part of this process or another program, or
      // removed: read it again, so that the save writes the whole settings over
      // whatever is there now, never a few values into a key made anew.
      const SKeptValues before = KeptValuesOf(stored.tree);
      if (pProduct) {
        ReadStoreTree(*pProduct, &stored.tree);
      } else {
        stored.tree = SStoredKey();
      }
      if (bChangedOutside) TakeOutsideChanges(before, KeptValuesOf(stored.tree), settings);
    }
  }
  result = SaveStoreChanges(
      company, kProductKeyName, &stored.tree, [&settings](IStoreKey& product) { WriteAllSettings(settings, product); },
      stored.keptAsStored);
  ProductKeyChanged();
  g_outsideChanges.Arm(kProductKeyPath);
  stored.bKnown = true;
  stored.nGeneration = g_nProductKeyChanges;
  return result;
}

CResult WriteProductText(CConsoleSettings& settings, const char* szName, const std::string& strText) {
  CRegCloseKey product;
  CResult result = OpenRegistryKey(HKEY_CURRENT_USER, kProductKeyPath, product, KEY_SET_VALUE);
  if (!result.IsOk()) return result;
  // Another program's change before this write still counts; the watch is set anew
  // right after it only when there was none.
  const bool bChangedOutside = g_outsideChanges.HasChanged();
  result = WriteTextValue(product.Get(), szName, strText.c_str());
  if (bChangedOutside) return result;
  g_outsideChanges.Arm(kProductKeyPath);
  SStoredState& stored = settings.m_storedState;
  if (result.IsOk() && stored.bKnown && stored.nGeneration == g_nProductKeyChanges) {
    CStoredTreeKey storedKey(&stored.tree);
    static_cast<void>(WriteStoredText(storedKey, szName, strText));
  }
  return result;
}

CResult SaveAllSettingsReporting(CConsoleSettings& settings) {
  try {
    if (::GetEnvironmentVariableA(kThrowingSaveVariable, nullptr, 0) != 0)
      throw std::runtime_error("the save was made to fail");
    return SaveAllSettings(settings);
  } catch (const std::bad_alloc&) {
    return CResult(ERROR_NOT_ENOUGH_MEMORY);
  } catch (const std::exception& error) {
    return CResult(ERROR_INTERNAL_ERROR, std::string("an internal error (") + error.what() + ")");
  } catch (...) {
    return CResult(ERROR_INTERNAL_ERROR, "an internal error");
  }
}

CResult DropInterruptedSave() {
  std::unique_ptr<IStoreKey> pCompany;
  if (!OpenCompanyKey(&pCompany).IsOk()) return CResult();
  ProductKeyChanged();
  return DropInterruptedSave(*pCompany);
}

CResult DeleteProductKey() {
  std::unique_ptr<IStoreKey> pCompany;
  CResult result = OpenCompanyKey(&pCompany);
  if (!result.IsOk()) return result;
  ProductKeyChanged();
  // What cannot be dropped goes with the product key's own removal below or is
  // dropped by the next start.
  static_cast<void>(DropInterruptedSave(*pCompany));
  return RemoveIfThere(*pCompany, kProductKeyName);
}

CResult SetStartupValue(const char* szName, const char* szData, bool bRemove) {
  CRegCloseKey run;
  CResult result = OpenRegistryKey(HKEY_CURRENT_USER, kStartupRunKeyPath, run, KEY_ALL_ACCESS);
  if (!result.IsOk()) return result;
  return bRemove ? DeleteRegistryValue(run.Get(), szName) : WriteTextValue(run.Get(), szName, szData);
}

std::string StartupCommand(const char* szModulePath) {
  const std::string strPath = szModulePath ? szModulePath : "";
  if (strPath.find(' ') == std::string::npos) return strPath + " -min";
  return "\"" + strPath + "\" -min";
}

CResult UpdateStartupValue(const CConsoleSettings& settings) {
  const std::string strCommand = StartupCommand(settings.GetModulePath());
  return SetStartupValue(LoadLocalString(settings, IDS_APP_TITLE).c_str(), strCommand.c_str(),
                         settings.m_overview.m_nLoadwithWindowsStartup == 0);
}
