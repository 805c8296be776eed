// What the request handling tells the main window after it changed a list or the
// alert log: rows to add or refresh, by index, the overview to show again, and
// that there are changes to save.
// The main screen listens; CNoMainWindowNotifications stands in where there is none.
#pragma once

#include "console/screens/ScreensLayer.h"

class IMainWindowNotifications {
 public:
  virtual ~IMainWindowNotifications() = default;
  virtual void AddMailRow(int nIndex) = 0;
  virtual void AddSiteRow(int nIndex) = 0;
  virtual void AddLogRow(int nIndex) = 0;
  virtual void RefreshMailRow(int nIndex) = 0;
  virtual void RefreshSiteRow(int nIndex) = 0;
  virtual void RefreshLogRow(int nIndex) = 0;
  virtual void PushOverview() = 0;
  // The lists, the log or the counters changed: the main window saves them soon.
  virtual void SettingsChanged() {}
};

class CNoMainWindowNotifications : public IMainWindowNotifications {
 public:
  void AddMailRow(int) override {}
  void AddSiteRow(int) override {}
  void AddLogRow(int) override {}
  void RefreshMailRow(int) override {}
  void RefreshSiteRow(int) override {}
  void RefreshLogRow(int) override {}
  void PushOverview() override {}
};
