// The two settings screens' exchange with their movies: the protection settings
// ("HWAdvSet") edit one list's permission, the log settings ("HWLogAdv") the log
// file, its archiving and the archive period. Both edit copies that their caller
// takes back after OK.
#pragma once

#include "console/screens/ScreensLayer.h"

#include <cstdint>
#include <string>

#include "console/screens/FlashScreenHost.h"

enum : int { ADVSET_MODE_MAIL = 0, ADVSET_MODE_SITE = 1 };

class CAdvSettingsScreen {
 public:
  explicit CAdvSettingsScreen(IFlashPlayer& player) : m_player(player) {}

  int m_nMode = ADVSET_MODE_MAIL;
  // The list permission: 0 Allow, 1 Block, 2 Ask; a value the movie does not give
  // as one of these keeps it.
  int m_nOption = 2;

  // The mode's frame label and its option, sent after the movie is loaded and
  // before the language pair.
  void SendStartVariables();
  SScreenReply OnCommand(const char* szCommand, const char* szArgs);
  // Reads the option of the screen's mode and ends with OK.
  SScreenReply OkAction();

 private:
  IFlashPlayer& m_player;
};

// The save dialog for the log file; false when the user cancelled.
class ILogFileChooser {
 public:
  virtual ~ILogFileChooser() = default;
  virtual bool ChooseLogFile(std::string* pPath) = 0;
};

class CLogAdvancedScreen {
 public:
  CLogAdvancedScreen(IFlashPlayer& player, ILogFileChooser& chooser) : m_player(player), m_chooser(chooser) {}

  std::string m_strLogFilePath;
  std::int32_t m_nArchiveOn = 1;
  std::uint8_t m_bArchivePeriod = 1;  // days
  // The administrator holds archive and period: the movie shows them so, and
  // neither its commands nor OK change them.
  bool m_bArchiveByPolicy = false;

  void SendStartVariables();
  SScreenReply OnCommand(const char* szCommand, const char* szArgs);
  // Takes path, archiving and period as the movie holds them and ends with OK.
  SScreenReply OkAction();

 private:
  IFlashPlayer& m_player;
  ILogFileChooser& m_chooser;
};
