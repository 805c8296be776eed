#include "console/screens/SettingsCommands_win.h"

#include <commdlg.h>
#include <shellapi.h>

#include <vector>

#include "console/ConsoleResources.h"
#include "console/screens/LoginCheck_win.h"
#include "console/screens/MsgBoxDlg_win.h"
#include "console/settings/ConsoleSettings_win.h"
#include "console/settings/Languages_win.h"
#include "console/settings/SettingsBackup_win.h"
#include "console/settings/store/SettingsStore_win.h"
#include "shared/BoundedCopy.h"
#include "shared/EventLog_win.h"

namespace {

constexpr const char* kResetLanguage = "English";

// Filter pairs end with a zero byte each, the list with an empty one.
constexpr char kBackupFilter[] = "Registry file(*.reg)\0*.reg\0\0";
constexpr char kRestoreFilter[] = "Registry File(*.reg)\0*.reg\0\0";
constexpr const char* kBackupExtension = "reg";
constexpr const char* kBackupDefaultName = "NewRegFile";

// A save dialog must let the user name a new file, so it does not insist on an
// existing one.
constexpr DWORD kBackupDialogFlags = OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_NOVALIDATE |
                                     OFN_PATHMUSTEXIST | OFN_NOREADONLYRETURN | OFN_LONGNAMES | OFN_EXPLORER;
// One file is restored, so one can be chosen.
constexpr DWORD kRestoreDialogFlags = OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_NOVALIDATE | OFN_PATHMUSTEXIST |
                                      OFN_FILEMUSTEXIST | OFN_NOREADONLYRETURN | OFN_EXPLORER | OFN_LONGNAMES;

bool RunFileDialog(HWND hOwner, bool bSave, const char* szFilter, DWORD dwFlags, std::string* pPath) {
  std::vector<char> path(4096, 0);
  if (bSave) CopyBounded(path.data(), path.size(), kBackupDefaultName);
  OPENFILENAMEA ofn = {};
  ofn.lStructSize = sizeof(ofn);
  ofn.hwndOwner = hOwner;
  ofn.lpstrFilter = szFilter;
  ofn.lpstrFile = path.data();
  ofn.nMaxFile = static_cast<DWORD>(path.size());
  ofn.lpstrDefExt = bSave ? kBackupExtension : nullptr;
  ofn.Flags = dwFlags;
  const BOOL bChosen = bSave ? ::GetSaveFileNameA(&ofn) : ::GetOpenFileNameA(&ofn);
  if (!bChosen) return false;
  *pPath = path.data();
  return true;
}

}  // namespace

bool CSettingsCommands::ChooseBackupFile(std::string* pPath) {
  return RunFileDialog(m_hOwner, true, kBackupFilter, kBackupDialogFlags, pPath);
}

bool CSettingsCommands::ChooseRestoreFile(std::string* pPath) {
  return RunFileDialog(m_hOwner, false, kRestoreFilter, kRestoreDialogFlags, pPath);
}

bool CSettingsCommands::OpenWithShell(const std::string& strPath) {
  const HINSTANCE hResult = ::ShellExecuteA(m_hOwner, "open", strPath.c_str(), nullptr, nullptr, SW_HIDE);
  return reinterpret_cast<INT_PTR>(hResult) > 32;
}

int CSettingsCommands::Ask(unsigned nTextId, const char* szCaptionBlanks) {
  const std::string strCaption = LoadLocalString(m_settings, IDS_APP_TITLE) + szCaptionBlanks;
  return ShowConsoleMessage(m_settings, LoadLocalString(m_settings, nTextId), strCaption, MSGBOX_FLAGS_YESNO, m_hOwner);
}

void CSettingsCommands::ShowMessage(const std::string& strText) {
  ShowConsoleMessage(m_settings, strText, std::string(), MSGBOX_FLAGS_INFORMATION, m_hOwner);
}

bool CSettingsCommands::Backup() {
  if (!CheckSettingsLogin(m_settings)) return false;
  std::string strPath;
  if (!ChooseBackupFile(&strPath)) return false;
  // The registry gets the state in memory, but logged out: the login stays this run's.
  const CResult saved = SaveAllSettings(m_settings);
  if (!saved.IsOk()) {
    // A backup of the previous save would pass for one of the current settings.
    ShowMessage(kSaveFailedText + ResultMessage(saved));
    return false;
  }
  const CResult exported = ExportProductKey(strPath);
  if (!exported.IsOk()) ShowMessage(ResultMessage(exported));
  return exported.IsOk();
}

bool CSettingsCommands::Restore() {
  if (!CheckSettingsLogin(m_settings)) return false;
  if (Ask(IDS_RESTORE_QUESTION, kRestoreCaptionBlanks) != 1) return false;
  std::string strPath;
  if (!ChooseRestoreFile(&strPath)) return false;
  // A save that an earlier failure left behind would be finished over the
  // imported settings at the next start.
  static_cast<void>(DropInterruptedSave());  // the import goes ahead either way
  if (!OpenWithShell(strPath)) return false;
  WriteEventLog(SettingsRestoredEvent(strPath));
  return true;
}

bool CSettingsCommands::Reset() {
  if (!CheckSettingsLogin(m_settings)) return false;
  if (Ask(IDS_RESET_QUESTION, kResetCaptionBlanks) != 1) return false;
  if (!DeleteProductKey().IsOk()) return false;
  WriteEventLog(SettingsResetEvent());
  m_settings.m_strLanguage = kResetLanguage;
  return true;
}
