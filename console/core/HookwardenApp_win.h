// The console's application object: the state that start-up fixes. It builds the
// settings objects and hands them to whatever needs them; nothing below core
// knows it.
#pragma once

#include "console/core/CoreLayer.h"
#include "console/settings/ConsoleSettings_win.h"

class CHookwardenApp {
 public:
  // The application folder is the folder of the console's executable.
  CHookwardenApp();
  CHookwardenApp(const CHookwardenApp&) = delete;
  CHookwardenApp& operator=(const CHookwardenApp&) = delete;

  CConsoleSettings& Settings() { return m_settings; }

 private:
  CConsoleSettings m_settings;
};
