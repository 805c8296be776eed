// What the request handling takes from the running console: the alert screen,
// texts in the current language, the local clock and the system's event log.
#pragma once

#include "console/core/CoreLayer.h"

#include "console/core/RequestHandlers.h"
#include "console/settings/LocalTextCache_win.h"

class CAlertsDlg;
class CConsoleSettings;

class CConsoleRequestServices : public IRequestServices {
 public:
  explicit CConsoleRequestServices(CConsoleSettings& settings) : m_settings(settings), m_texts(settings) {}
  // The alert over the main window, or over the alert already open: a request
  // handled inside an open alert is answered first, so the one below waits. A
  // window that cannot be made counts as Block.
  int RunAlert(SAlertFields& fields) override;
  std::string LocalText(unsigned nStringId) override;
  SLocalTime LocalTimeNow() override;
  void WriteEvent(SEventLogEntry entry) override;

 private:
  CConsoleSettings& m_settings;
  CLocalTextCache m_texts;
  CAlertsDlg* m_pOpenAlert = nullptr;
};
