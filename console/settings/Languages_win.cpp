#include "console/settings/Languages_win.h"

#include <vector>

#include "console/settings/ConsoleSettings_win.h"
#include "console/settings/LanguageText.h"
#include "console/settings/PseudoRandom.h"
#include "console/settings/SeededFolder_win.h"
#include "shared/OwnedResources_win.h"

namespace {

HMODULE ThisModule() {
  HMODULE hModule = nullptr;
  ::GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&ThisModule), &hModule);
  return hModule;
}

// Reads one key; the value expanded, or strFallback when the file has no text for it.
std::string ReadLanguageValue(const std::string& strFile, const std::string& strSection, const std::string& strKey,
                              const std::string& strFallback, DWORD cbBuffer) {
  std::vector<char> buffer(cbBuffer, 0);
  ::GetPrivateProfileStringA(strSection.c_str(), strKey.c_str(), "", buffer.data(), cbBuffer, strFile.c_str());
  const std::string strValue = ExpandLanguageValue(buffer.data());
  return strValue.empty() ? strFallback : strValue;
}

void SetItemText(HMENU hMenu, UINT nPosition, const std::string& strText) {
  MENUITEMINFOA info = {};
  info.cbSize = sizeof(info);
  info.fMask = MIIM_STRING;
  info.dwTypeData = const_cast<char*>(strText.c_str());
  ::SetMenuItemInfoA(hMenu, nPosition, TRUE, &info);
}

std::string GetItemText(HMENU hMenu, UINT nPosition) {
  char szText[257] = {};
  ::GetMenuStringA(hMenu, nPosition, szText, sizeof(szText), MF_BYPOSITION);
  return szText;
}

}  // namespace

std::string LoadBuiltInString(UINT nId) {
  char szText[1024] = {};
  const int cch = ::LoadStringA(ThisModule(), nId, szText, sizeof(szText));
  return cch > 0 ? std::string(szText, static_cast<std::size_t>(cch)) : std::string();
}

std::string GetLanguageFilePath(const CConsoleSettings& settings) {
  return GetLanguageFolder(settings.GetAppPath()) + "\\" + LanguageFileName(settings.m_strLanguage.c_str());
}

std::string LoadLocalString(const CConsoleSettings& settings, UINT nId) {
  const std::string strBuiltIn = LoadBuiltInString(nId);
  if (strBuiltIn.empty()) return strBuiltIn;
  return ReadLanguageValue(GetLanguageFilePath(settings), ReverseText(kAlertsSectionName), RotatedNumberKey(nId),
                           strBuiltIn, 1024);
}

void TranslateMenu(const CConsoleSettings& settings, HMENU hMenu, const char* szSection) {
  if (!hMenu || !szSection) return;
  const std::string strFile = GetLanguageFilePath(settings);
  const std::string strSection = ReverseText(szSection);
  const int nCount = ::GetMenuItemCount(hMenu);

  // Top-level items: one draw per item, also for items without text.
  CPseudoRandom random(kTrayMenuSeed);
  for (int nPosition = 0; nPosition < nCount; ++nPosition) {
    const std::string strText = GetItemText(hMenu, static_cast<UINT>(nPosition));
    const int nNumber = random.Next() % 50;
    if (strText.empty()) continue;
    const std::string strKey = TopLevelMenuKey(strText, nNumber, nPosition);
    SetItemText(hMenu, static_cast<UINT>(nPosition), ReadLanguageValue(strFile, strSection, strKey, strText, 260));
  }

  // Items of the submenus, from the first top-level item up to the first that opens none.
  for (int nPosition = 0; nPosition < nCount; ++nPosition) {
    HMENU hSubMenu = ::GetSubMenu(hMenu, nPosition);
    if (!hSubMenu) break;
    const int nSubCount = ::GetMenuItemCount(hSubMenu);
    for (int nSub = 0; nSub < nSubCount; ++nSub) {
      const UINT nCommand = ::GetMenuItemID(hSubMenu, nSub);
      // Separators (command 0) and deeper submenus (no command) stay as they are.
      if (nCommand == 0 || nCommand == static_cast<UINT>(-1)) continue;
      const std::string strText = GetItemText(hSubMenu, static_cast<UINT>(nSub));
      if (strText.empty()) continue;
      SetItemText(hSubMenu, static_cast<UINT>(nSub),
                  ReadLanguageValue(strFile, strSection, RotatedNumberKey(nCommand), strText, 1000));
    }
  }
}

std::string GetInstalledLanguages(const CConsoleSettings& settings) {
  const std::string strFolder = GetLanguageFolder(settings.GetAppPath());
  std::vector<std::string> names;
  WIN32_FIND_DATAA found = {};
  CFindClose search(::FindFirstFileA((strFolder + "\\*" + kLanguageFileExtension).c_str(), &found));
  if (!search) return std::string();
  do {
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    // The search also matches short names; only real ".hwl" names count.
    const std::string strName = LanguageNameOfFile(found.cFileName);
    if (!strName.empty()) names.push_back(strName);
  } while (::FindNextFileA(search.Get(), &found));
  return JoinLanguageNames(names);
}
