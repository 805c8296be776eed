// A settings object that keeps its values in one subkey of the product key
// HKEY_CURRENT_USER\Software\Corvinth\Hookwarden: "Overview" (COverviewSettings),
// "AlertandLog" (the alert-and-log settings with the alert log), "MailSafe" and
// "WebSiteBlocking" (the permission lists).
//
// The settings load and the full save know these objects only through this
// interface: the application object lists them, in the order they are read and
// written (CConsoleSettings::GetSettingsSubkeys), and the store calls them with the
// product key. A new object plugs in by deriving from this class (or through
// CStoreKeySubkey) and joining that list; the store does not change.
//
// How an object implements the two operations, both through one table of its
// values (StoredFields.h):
// - ReadFromKey opens its subkey and reads each value. A missing subkey or value
//   keeps the default; nothing is reported. Items kept in numbered subkeys
//   ("MailSafeItem%d", ...) are read 0 to count - 1.
// - WriteToKey creates its subkey below the key it is given and writes every value
//   in its stored order, numbered subkeys 0 to count - 1 in memory order, as if
//   into an empty product key. The save hands it a key that compares these writes
//   with what is stored and keeps only the differences (StoreChanges.h); whatever
//   is not written again is removed. It stops at the first write that fails and
//   returns its result.
#pragma once

#include "console/settings/store/StoreKey.h"
#include "shared/Result.h"

class CSettingsSubkey {
 public:
  virtual ~CSettingsSubkey() = default;
  // appKey is the product key as the settings load read it into memory.
  virtual void ReadFromKey(IStoreKey& appKey) = 0;
  virtual CResult WriteToKey(IStoreKey& appKey) const = 0;
};

// A settings object that is not itself a CSettingsSubkey, as the settings store
// sees it. TSettings offers ReadFromKey(IStoreKey&) and
// CResult WriteToKey(IStoreKey&) const.
template <class TSettings>
class CStoreKeySubkey : public CSettingsSubkey {
 public:
  explicit CStoreKeySubkey(TSettings& settings) : m_settings(settings) {}
  void ReadFromKey(IStoreKey& appKey) override { m_settings.ReadFromKey(appKey); }
  CResult WriteToKey(IStoreKey& appKey) const override { return m_settings.WriteToKey(appKey); }

 private:
  TSettings& m_settings;
};
