#include "console/core/RequestServices_win.h"

#include <windows.h>

#include "console/screens/AlertsDlg_win.h"
#include "console/settings/ConsoleSettings_win.h"
#include "console/settings/Languages_win.h"
#include "console/settings/LogArchive_win.h"
#include "shared/EventLog_win.h"

#include <utility>

int CConsoleRequestServices::RunAlert(SAlertFields& fields) {
  CAlertsDlg alert(m_settings);
  alert.Fields() = fields;
  alert.Fields().nRememberAnswer = 0;
  CAlertsDlg* const pBelow = m_pOpenAlert;
  m_pOpenAlert = &alert;
  const int nResult = static_cast<int>(alert.DoModal(pBelow ? pBelow->GetSafeHwnd() : nullptr));
  m_pOpenAlert = pBelow;
  fields.nRememberAnswer = alert.Fields().nRememberAnswer;
  return nResult;
}

std::string CConsoleRequestServices::LocalText(unsigned nStringId) {
  return m_texts.Text(nStringId);
}

void CConsoleRequestServices::WriteEvent(SEventLogEntry entry) {
  WriteEventLog(std::move(entry));
}

SLocalTime CConsoleRequestServices::LocalTimeNow() {
  return CurrentLocalTime();
}
