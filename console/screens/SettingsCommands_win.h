// The main window's commands that back up, restore and reset the settings. Each
// runs the login check first. Restore and reset end the console without a full
// save, so that the next start reads what they left: their caller ends the main
// window with 0 when they report so.
#pragma once

#include "console/screens/ScreensLayer.h"

#include <windows.h>

#include <string>

class CConsoleSettings;

// Appended to the application title in the captions of the two questions.
constexpr const char* kRestoreCaptionBlanks = "     ";
constexpr const char* kResetCaptionBlanks = "    ";

class CSettingsCommands {
 public:
  // hOwner: the main window, owner of the dialogs and messages.
  CSettingsCommands(CConsoleSettings& settings, HWND hOwner) : m_settings(settings), m_hOwner(hOwner) {}
  virtual ~CSettingsCommands() = default;
  CSettingsCommands(const CSettingsCommands&) = delete;
  CSettingsCommands& operator=(const CSettingsCommands&) = delete;

  // "IDC_FS_BackupSettings": the full save, then the product key into the chosen
  // file. True when the backup file was written.
  bool Backup();
  // "IDC_FS_RestoreSettings": after the question, the chosen file goes to the
  // system's registry editor. True when the console must now end.
  bool Restore();
  // "IDC_FS_Reset": after the question, the product key is deleted and the
  // language is English again. True when the console must now end.
  bool Reset();

 protected:
  // The system's file dialogs and shell; tests put their own in place.
  virtual bool ChooseBackupFile(std::string* pPath);
  virtual bool ChooseRestoreFile(std::string* pPath);
  // Hands the file to the registry editor without waiting for it.
  virtual bool OpenWithShell(const std::string& strPath);

 private:
  int Ask(unsigned nTextId, const char* szCaptionBlanks);
  void ShowMessage(const std::string& strText);

  CConsoleSettings& m_settings;
  HWND m_hOwner;
};
