// DllRegisterServer and DllUnregisterServer: the type library, the class and its
// ProgIDs under HKEY_CLASSES_ROOT, and the browser-helper entry that makes the
// web browser load the class.
#include <windows.h>

#include <oleauto.h>
#include <shlwapi.h>

#include "Quellmail.h"  // generated from Quellmail.idl
#include "engine/browser/ComModule_win.h"
#include "shared/OwnedResources_win.h"

namespace {

const char kClassName[] = "HTMLSourceParser Class";
const char kProgID[] = "HTMLSourceParser.HTMLSourceParser.1";
const char kVersionIndependentProgID[] = "HTMLSourceParser.HTMLSourceParser";
const char kClsidKey[] = "CLSID\\{49CAC2AD-79FB-4B91-BB70-0239D2E43485}";
const char kClsidText[] = "{49CAC2AD-79FB-4B91-BB70-0239D2E43485}";
const char kTypeLibText[] = "{ADBA0894-4701-40C7-8F70-6EA6B44F8114}";
const char kBrowserHelperKey[] =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Browser Helper Objects\\"
    "{49CAC2AD-79FB-4B91-BB70-0239D2E43485}";
const char kBrowserHelperName[] = "Bramblewick";

// Creates or opens hRoot\szKey and sets its value szName (null: the default value).
LONG SetKeyValue(HKEY hRoot, const char* szKey, const char* szName, const char* szValue) {
  CRegCloseKey key;
  LONG lResult =
      ::RegCreateKeyExA(hRoot, szKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr, key.Receive(), nullptr);
  if (lResult != ERROR_SUCCESS) return lResult;
  if (!szValue) return ERROR_SUCCESS;
  return ::RegSetValueExA(key.Get(), szName, 0, REG_SZ, reinterpret_cast<const BYTE*>(szValue),
                          static_cast<DWORD>(lstrlenA(szValue) + 1));
}

// Removes a key with all it holds; a key that is not there counts as removed.
LONG DeleteKeyTree(HKEY hRoot, const char* szKey) {
  const DWORD dwResult = ::SHDeleteKeyA(hRoot, szKey);
  return dwResult == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : static_cast<LONG>(dwResult);
}

struct SKeyValue {
  HKEY hRoot;
  const char* szKey;    // relative to hRoot
  const char* szName;   // null: the default value
  const char* szValue;  // null: the key only
};

LONG WriteRegistration(const char* szModulePath) {
  // The class key and the browser-helper key are written fresh, without what an
  // earlier registration may have left in them.
  LONG lResult = DeleteKeyTree(HKEY_CLASSES_ROOT, kClsidKey);
  if (lResult == ERROR_SUCCESS) lResult = DeleteKeyTree(HKEY_LOCAL_MACHINE, kBrowserHelperKey);
  if (lResult != ERROR_SUCCESS) return lResult;

  const char* const szProgIDClsid = "HTMLSourceParser.HTMLSourceParser.1\\CLSID";
  const char* const szIndependentClsid = "HTMLSourceParser.HTMLSourceParser\\CLSID";
  const char* const szIndependentCurVer = "HTMLSourceParser.HTMLSourceParser\\CurVer";
  const char* const szClsidProgID = "CLSID\\{49CAC2AD-79FB-4B91-BB70-0239D2E43485}\\ProgID";
  const char* const szClsidIndependent = "CLSID\\{49CAC2AD-79FB-4B91-BB70-0239D2E43485}\\VersionIndependentProgID";
  const char* const szClsidProgrammable = "CLSID\\{49CAC2AD-79FB-4B91-BB70-0239D2E43485}\\Programmable";
  const char* const szClsidInproc = "CLSID\\{49CAC2AD-79FB-4B91-BB70-0239D2E43485}\\InprocServer32";
  const char* const szClsidTypeLib = "CLSID\\{49CAC2AD-79FB-4B91-BB70-0239D2E43485}\\TypeLib";
  const SKeyValue entries[] = {
      {HKEY_CLASSES_ROOT, kProgID, nullptr, kClassName},
      {HKEY_CLASSES_ROOT, szProgIDClsid, nullptr, kClsidText},
      {HKEY_CLASSES_ROOT, kVersionIndependentProgID, nullptr, kClassName},
      {HKEY_CLASSES_ROOT, szIndependentClsid, nullptr, kClsidText},
      {HKEY_CLASSES_ROOT, szIndependentCurVer, nullptr, kProgID},
      {HKEY_CLASSES_ROOT, kClsidKey, nullptr, kClassName},
      {HKEY_CLASSES_ROOT, szClsidProgID, nullptr, kProgID},
      {HKEY_CLASSES_ROOT, szClsidIndependent, nullptr, kVersionIndependentProgID},
      {HKEY_CLASSES_ROOT, szClsidProgrammable, nullptr, nullptr},
      {HKEY_CLASSES_ROOT, szClsidInproc, nullptr, szModulePath},
      {HKEY_CLASSES_ROOT, szClsidInproc, "ThreadingModel", "Apartment"},
      {HKEY_CLASSES_ROOT, szClsidTypeLib, nullptr, kTypeLibText},
      {HKEY_LOCAL_MACHINE, kBrowserHelperKey, nullptr, kBrowserHelperName},
  };
  for (const SKeyValue& entry : entries) {
    lResult = SetKeyValue(entry.hRoot, entry.szKey, entry.szName, entry.szValue);
    if (lResult != ERROR_SUCCESS) return lResult;
  }
  return ERROR_SUCCESS;
}

}  // namespace

STDAPI DllRegisterServer() {
  char szModulePath[261];
  wchar_t wszModulePath[261];
  if (!ComModule::GetModulePath(szModulePath) || !ComModule::GetModulePathW(wszModulePath)) {
    return HRESULT_FROM_WIN32(ERROR_FILENAME_EXCED_RANGE);
  }
  const LONG lResult = WriteRegistration(szModulePath);
  if (lResult != ERROR_SUCCESS) return HRESULT_FROM_WIN32(lResult);
  // The type library is the library's own TYPELIB resource.
  ITypeLib* pTypeLib = nullptr;
  const HRESULT hr = ::LoadTypeLibEx(wszModulePath, REGKIND_REGISTER, &pTypeLib);
  CComRelease<ITypeLib> typeLib(pTypeLib);
  return hr;
}

STDAPI DllUnregisterServer() {
  // The shared HKEY_CLASSES_ROOT\CLSID key stays; only this class's key goes.
  LONG lResult = DeleteKeyTree(HKEY_CLASSES_ROOT, kProgID);
  LONG lNext = DeleteKeyTree(HKEY_CLASSES_ROOT, kVersionIndependentProgID);
  if (lResult == ERROR_SUCCESS) lResult = lNext;
  lNext = DeleteKeyTree(HKEY_CLASSES_ROOT, kClsidKey);
  if (lResult == ERROR_SUCCESS) lResult = lNext;
  lNext = DeleteKeyTree(HKEY_LOCAL_MACHINE, kBrowserHelperKey);
  if (lResult == ERROR_SUCCESS) lResult = lNext;
  // The type library's registration points at this file too. A library that is
  // not registered (a second unregistration) is no failure.
  ::UnRegisterTypeLib(LIBID_QUELLMAILLib, 1, 0, LOCALE_NEUTRAL, SYS_WIN64);
  return lResult == ERROR_SUCCESS ? S_OK : HRESULT_FROM_WIN32(lResult);
}
