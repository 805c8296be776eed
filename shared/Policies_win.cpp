#include "shared/Policies_win.h"

#include <windows.h>

#include "shared/OwnedResources_win.h"

namespace {

// True when the value was there with its row's type and fits it.
bool ReadPolicyValue(HKEY hKey, const SPolicyRow& row, CPolicies& policies) {
  if (row.eType == EPolicyType::Text) {
    char szText[kMaxPolicyTextLength + 1] = {};
    DWORD cbText = sizeof szText;
    if (::RegGetValueA(hKey, nullptr, row.szValueName, RRF_RT_REG_SZ, nullptr, szText, &cbText) != ERROR_SUCCESS) {
      return false;  // missing, another type, or longer than the buffer
    }
    return policies.SetText(row.ePolicy, szText);
  }
  DWORD dwValue = 0;
  DWORD cbValue = sizeof dwValue;
  if (::RegGetValueA(hKey, nullptr, row.szValueName, RRF_RT_REG_DWORD, nullptr, &dwValue, &cbValue) != ERROR_SUCCESS) {
    return false;
  }
  return policies.SetNumber(row.ePolicy, dwValue);
}

CRegCloseKey OpenPolicyKey(HKEY hRoot) {
  HKEY hKey = nullptr;
  if (::RegOpenKeyExA(hRoot, kPoliciesKeyPath, 0, KEY_QUERY_VALUE, &hKey) != ERROR_SUCCESS) return CRegCloseKey();
  return CRegCloseKey(hKey);
}

}  // namespace

CPolicies ReadPolicies() {
  CPolicies policies;
  const CRegCloseKey machine = OpenPolicyKey(HKEY_LOCAL_MACHINE);
  const CRegCloseKey user = OpenPolicyKey(HKEY_CURRENT_USER);
  for (const SPolicyRow& row : kPolicyRows) {
    // The machine wins; a value it holds that does not fit leaves the user's.
    if (machine && ReadPolicyValue(machine.Get(), row, policies)) continue;
    if (user) static_cast<void>(ReadPolicyValue(user.Get(), row, policies));
  }
  return policies;
}
