#include "console/settings/ProductKeyWatch_win.h"

void CProductKeyWatch::Arm(const char* szKeyPath) {
  m_bArmed = false;
  // Closing the key ends the notice registered on it.
  m_key.Reset();
  if (!m_event) m_event.Reset(::CreateEventA(nullptr, TRUE, FALSE, nullptr));
  if (!m_event) return;
  ::ResetEvent(m_event.Get());
  if (::RegOpenKeyExA(HKEY_CURRENT_USER, szKeyPath, 0, KEY_NOTIFY, m_key.Receive()) != ERROR_SUCCESS) return;
  const DWORD dwFilter = REG_NOTIFY_CHANGE_NAME | REG_NOTIFY_CHANGE_LAST_SET;
  m_bArmed = ::RegNotifyChangeKeyValue(m_key.Get(), TRUE, dwFilter, m_event.Get(), TRUE) == ERROR_SUCCESS;
}

bool CProductKeyWatch::HasChanged() const {
  return !m_bArmed || ::WaitForSingleObject(m_event.Get(), 0) == WAIT_OBJECT_0;
}
