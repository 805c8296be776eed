// Reading and writing the values of the product key and its subkeys.
//
// Conventions for every settings value:
// - Texts are REG_SZ, written without terminating zero; a text read with size 0
//   leaves the field unchanged.
// - Numbers are REG_BINARY (never REG_DWORD), little-endian, 4 bytes unless the
//   value says otherwise.
// - Every read uses its own 202-byte buffer. A value that is missing or cannot be
//   read (a longer one, for example) leaves the field unchanged; nothing is reported.
// - "copied" numbers take at most 4 returned bytes; "flag" numbers and the numbers
//   of which only the lowest byte counts take that byte, widened.
//
// The save changes the registry through IStoreKey (StoreKey.h), whose registry
// form (RegistryStoreKey_win.h) uses the functions at the end, which hand on the
// registry's own result: a failed save names its real reason with it.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "shared/OwnedResources_win.h"

// Readers: unchanged field when the value is missing, empty or unreadable.
void ReadTextValue(HKEY hKey, const char* szName, std::string& strField);
void ReadTextValue(HKEY hKey, const char* szName, char* szField, std::size_t cbField);
void ReadCopiedValue(HKEY hKey, const char* szName, std::int32_t& nField);
void ReadLowByteValue(HKEY hKey, const char* szName, std::int32_t& nField);
inline void ReadFlagValue(HKEY hKey, const char* szName, std::int32_t& nField) {
  ReadLowByteValue(hKey, szName, nField);
}
// The raw bytes (at most 202) of a value, for values of other shapes. False when
// the value is missing or cannot be read.
bool ReadValueBytes(HKEY hKey, const char* szName, unsigned char (&data)[202], DWORD& cbData);

// Writers: false when the registry refused the change.
bool WriteTextValue(HKEY hKey, const char* szName, const char* szText);
// The number's lowest cbBytes bytes (1 to 4), little-endian, as REG_BINARY.
bool WriteNumberValue(HKEY hKey, const char* szName, std::uint32_t nNumber, DWORD cbBytes = 4);
bool WriteBinaryValue(HKEY hKey, const char* szName, const void* pData, DWORD cbData);
// Data of any type as given, for values whose bytes do not fit their type (the
// mail entries' "Port": four raw bytes under REG_SZ).
bool WriteTypedValue(HKEY hKey, const char* szName, DWORD dwType, const void* pData, DWORD cbData);
bool DeleteSettingsValue(HKEY hKey, const char* szName);

// Keys: creating (or opening) with full access, opening for reading, deleting a
// key with all its values and subkeys.
bool CreateSettingsKey(HKEY hParent, const char* szName, CRegCloseKey& key);
bool OpenSettingsKey(HKEY hParent, const char* szName, CRegCloseKey& key, REGSAM samDesired = KEY_READ);
bool DeleteSettingsTree(HKEY hParent, const char* szName);

// The same changes with the registry's result (ERROR_SUCCESS or the reason).
LONG SetRegistryValue(HKEY hKey, const char* szName, DWORD dwType, const void* pData, DWORD cbData);
LONG DeleteRegistryValue(HKEY hKey, const char* szName);
LONG CreateRegistryKey(HKEY hParent, const char* szName, CRegCloseKey& key);
LONG OpenRegistryKey(HKEY hParent, const char* szName, CRegCloseKey& key, REGSAM samDesired = KEY_READ);
LONG DeleteRegistryTree(HKEY hParent, const char* szName);
