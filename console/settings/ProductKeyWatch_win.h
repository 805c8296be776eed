// Tells whether anything but this process's own saves changed the settings in the
// registry: a restore through the registry editor, an uninstaller removing the
// settings, another instance, a program that recreated the product key. The
// product key is watched with all below it (its removal shows as the removal of
// its subkeys, before anything can make it anew); the watch is set anew after each load and save of this process, so that its
// own writes do not count.
#pragma once

#include <windows.h>

#include "shared/OwnedResources_win.h"

class CProductKeyWatch {
 public:
  // Starts watching szKeyPath below HKEY_CURRENT_USER, forgetting what happened
  // before.
  void Arm(const char* szKeyPath);
  // True when something changed the watched keys since the last Arm, or when they
  // could not be watched (nothing is known then).
  bool HasChanged() const;

 private:
  CRegCloseKey m_key;
  CCloseHandle m_event;
  bool m_bArmed = false;
};
