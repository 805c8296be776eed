// Update.exe: brings the user's shipped definitions file up to date from the update
// address of the product key (or --address ADDRESS). It lies in the name-coded
// folder "Update" below the application folder and writes only into the user's
// own data folder, so a standard user's update works and reaches no other user.
//
// Each step is one line on standard output; the last line is the result, and the
// exit code says it too (updater/UpdateProgram.h). Started from a console window
// or the shell (standard output not redirected), it also shows the result in a
// message box. A running console is told by a broadcast message.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "shared/EventLog_win.h"
#include "shared/OwnedResources_win.h"
#include "shared/UserDataFolder_win.h"
#include "updater/DefinitionsUpdate_win.h"
#include "shared/Policies_win.h"
#include "shared/ProductKeyValue_win.h"
#include "updater/UpdateValues_win.h"

namespace {

// How long the program waits at its end for its event to reach the log.
constexpr unsigned long kEventLogFlushMs = 2000;

std::string FolderOf(const std::string& strPath) {
  const std::size_t nLast = strPath.rfind('\\');
  return nLast == std::string::npos ? std::string() : strPath.substr(0, nLast);
}

void PrintLine(const std::string& strLine) {
  std::fputs((strLine + "\n").c_str(), stdout);
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  std::string strAddress;
  bool bAddressGiven = false;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--address") == 0 && i + 1 < argc) {
      strAddress = argv[++i];
      bAddressGiven = true;
    } else {
      std::fputs("usage: Update.exe [--address ADDRESS]\n", stderr);
      return kUpdateUsage;
    }
  }
  // An administrator's address wins over the user's.
  if (!bAddressGiven)
    strAddress = ReadPolicies().TextOr(EPolicy::UpdateAddress, StoredProductValue(kUpdateAddressValue));

  char szPath[MAX_PATH + 1] = {};
  const DWORD cch = ::GetModuleFileNameA(nullptr, szPath, sizeof szPath);
  const std::string strAppFolder = cch > 0 && cch < sizeof szPath ? FolderOf(FolderOf(szPath)) : std::string();
  if (strAppFolder.empty()) {
    PrintLine("The update failed: the updater's own folder is not known.");
    return kUpdateFailed;
  }

  // Without a folder of the user's the console keeps its files beside itself.
  std::string strDataFolder = GetUserDataFolder();
  if (strDataFolder.empty()) strDataFolder = strAppFolder;
  const CResultOf<SUpdateOutcome> result =
      RunDefinitionsUpdate(strAppFolder, strDataFolder, strAddress, UtcNow(), PrintLine);
  const EUpdateExitCode code = result.IsOk() ? result.Value().code : kUpdateFailed;
  const std::string& strMessage = result.IsOk() ? result.Value().strMessage : result.Result().Text();
  PrintLine(strMessage);
  if (code == kUpdateInstalled) {
    ::PostMessageA(HWND_BROADCAST, ::RegisterWindowMessageA(kDefinitionsUpdatedMessageName), 0, 0);
    WriteEventLog(DefinitionsInstalledEvent(result.Value().strVersion, strAddress));
  } else if (code == kUpdateFailed) {
    WriteEventLog(DefinitionsUpdateFailedEvent(strAddress, strMessage));
  }
  if (::GetFileType(::GetStdHandle(STD_OUTPUT_HANDLE)) == FILE_TYPE_CHAR) {
    ::MessageBoxA(nullptr, strMessage.c_str(), "Hookwarden",
                  MB_OK | (code == kUpdateFailed ? MB_ICONWARNING : MB_ICONINFORMATION));
  }
  FlushEventLog(kEventLogFlushMs);
  return code;
}
