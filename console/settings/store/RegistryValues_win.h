// The registry calls of the settings: opening, creating and deleting keys, and
// writing and deleting values, each handing on the registry's own result, so that
// a failed save names its real reason. The settings objects go through IStoreKey
// (StoreKey.h), whose registry form (RegistryStoreKey_win.h) is built on these.
//
// Texts are REG_SZ, written without terminating zero.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "shared/OwnedResources_win.h"
#include "shared/Result.h"

// Reads a text into its own 202-byte buffer: a value that is missing, empty or
// longer leaves the field unchanged; nothing is reported.
void ReadTextValue(HKEY hKey, const char* szName, std::string& strField);

CResult WriteTextValue(HKEY hKey, const char* szName, const char* szText);
CResult SetRegistryValue(HKEY hKey, const char* szName, DWORD dwType, const void* pData, DWORD cbData);
CResult DeleteRegistryValue(HKEY hKey, const char* szName);

// Keys: creating (or opening) with full access, opening, deleting a key with all
// its values and subkeys.
CResult CreateRegistryKey(HKEY hParent, const char* szName, CRegCloseKey& key);
CResult OpenRegistryKey(HKEY hParent, const char* szName, CRegCloseKey& key, REGSAM samDesired = KEY_READ);
CResult DeleteRegistryTree(HKEY hParent, const char* szName);
