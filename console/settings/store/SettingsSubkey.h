// A settings object that keeps its values in one subkey of the product key
// HKEY_CURRENT_USER\Software\Corvinth\Hookwarden: "Overview" (COverviewSettings),
// "AlertandLog" (the alert-and-log settings with the alert log), "MailSafe" and
// "WebSiteBlocking" (the permission lists).
//
// The settings load and the full save know these objects only through this
// interface: the application object lists them, in the order they are read and
// written (CConsoleSettings::GetSettingsSubkeys), and the store calls them with the
// open product key. A new object plugs in by deriving from this class and joining
// that list; the store does not change.
//
// How an object implements the two operations:
// - ReadFromKey opens its subkey for reading (OpenSettingsKey) and reads each value
//   with the readers of RegistryValues_win.h, each with its own 202-byte read. A
//   missing subkey or value keeps the default; nothing is reported. Items kept in
//   numbered subkeys ("MailSafeItem%d", ...) are read 0 to count - 1.
// - WriteToKey creates its subkey below the key it is given and writes every value
//   in its stored order with the writers of StoreKey.h, numbered subkeys 0 to
//   count - 1 in memory order, as if into an empty product key. The save hands it
//   a key that compares these writes with what is stored and keeps only the
//   differences (StoreChanges.h); whatever is not written again is removed. It
//   returns false as soon as a writer fails and writes nothing after that.
#pragma once

#include <windows.h>

#include "console/settings/store/StoreKey.h"

class CSettingsSubkey {
 public:
  virtual ~CSettingsSubkey() = default;
  virtual void ReadFromKey(HKEY hAppRegKey) = 0;
  // The settings load hands the product key both ways: as read into memory once,
  // and open in the registry. Objects that read through IStoreKey take the first.
  virtual void ReadFromStoreKey(IStoreKey& /*appKey*/, HKEY hAppRegKey) { ReadFromKey(hAppRegKey); }
  virtual bool WriteToKey(IStoreKey& appKey) const = 0;
};
