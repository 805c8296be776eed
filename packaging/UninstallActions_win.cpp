// HookwdnUninstall.dll: the uninstaller's own custom actions. Windows Installer
// runs them from the package's Binary table; the DLL is never installed. Both read
// the application folder from CustomActionData and write what they did to the
// installation's log.
//
//   EndRunningParts    after the console was asked to exit through its tray menu:
//                      ends this user's console and web guards that run from the
//                      application folder, so that their files can go. A console
//                      still running after the ask is ended from outside; each
//                      guard is asked to end through its stop event; a guard that
//                      has not ended by the deadline is ended from outside.
//                      Another user's programs stay untouched.
//   ScheduleLeftovers  after the folder's removal: what another program still uses
//                      is set aside under a new name and goes at the next restart,
//                      which the installation then reports as needed.
#include <windows.h>
#include <msi.h>
#include <msiquery.h>
#include <tlhelp32.h>

#include <cstring>
#include <string>
#include <vector>

#include "guard/WebGuardLink.h"
#include "shared/OwnedResources_win.h"
#include "shared/TokenUser_win.h"

namespace {

constexpr const wchar_t* kConsoleProgram = L"Hookwdn.exe";
// How long a console's or guard's own end may take, and then an end from outside.
constexpr DWORD kOwnEndWaitMs = 10000;
constexpr DWORD kForcedEndWaitMs = 5000;
// A path in the folder, as the file system takes it (extended paths included).
constexpr DWORD kMaxPathChars = 32768;

// One line in the installation's log ("[1]" keeps brackets in paths literal).
void Log(MSIHANDLE hInstall, const std::wstring& strText) {
  const CMsiCloseHandle record(::MsiCreateRecord(1));
  if (!record) return;
  ::MsiRecordSetStringW(record.Get(), 0, L"Hookwarden: [1]");
  ::MsiRecordSetStringW(record.Get(), 1, strText.c_str());
  ::MsiProcessMessage(hInstall, INSTALLMESSAGE_INFO, record.Get());
}

// The application folder with a final backslash, or empty when none was handed over.
std::wstring AppFolder(MSIHANDLE hInstall) {
  std::vector<wchar_t> buffer(MAX_PATH + 1);
  DWORD cch = static_cast<DWORD>(buffer.size());
  UINT nResult = ::MsiGetPropertyW(hInstall, L"CustomActionData", buffer.data(), &cch);
  if (nResult == ERROR_MORE_DATA && cch < kMaxPathChars) {
    buffer.resize(++cch);
    nResult = ::MsiGetPropertyW(hInstall, L"CustomActionData", buffer.data(), &cch);
  }
  if (nResult != ERROR_SUCCESS || cch == 0) return std::wstring();
  std::wstring strFolder(buffer.data(), cch);
  if (strFolder.back() != L'\\') strFolder += L'\\';
  return strFolder;
}

// The installing user's token: the impersonated one, else the process's own.
CCloseHandle OwnToken() {
  CCloseHandle token;
  if (!::OpenThreadToken(::GetCurrentThread(), TOKEN_QUERY, TRUE, token.Receive()))
    ::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, token.Receive());
  return token;
}

struct SRunningPart {
  CCloseHandle process;
  DWORD dwId = 0;
  std::wstring strName;
};

// The installing user's processes of the program szName that run from strFolder
// in that user's session (*pdwSession).
std::vector<SRunningPart> FindRunning(const std::wstring& strFolder, const wchar_t* szName, DWORD* pdwSession) {
  std::vector<SRunningPart> parts;
  const CCloseHandle ownToken = OwnToken();
  const std::vector<unsigned char> ownUser = ownToken ? UserOfToken(ownToken.Get()) : std::vector<unsigned char>();
  DWORD dwOwnSession = 0;
  DWORD cb = 0;
  if (ownUser.empty()) return parts;
  if (!::GetTokenInformation(ownToken.Get(), TokenSessionId, &dwOwnSession, sizeof(dwOwnSession), &cb) &&
      !::ProcessIdToSessionId(::GetCurrentProcessId(), &dwOwnSession))
    return parts;
  *pdwSession = dwOwnSession;
  const CCloseHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot || snapshot.Get() == INVALID_HANDLE_VALUE) return parts;
  PROCESSENTRY32W entry = {};
  entry.dwSize = sizeof(entry);
  for (BOOL bMore = ::Process32FirstW(snapshot.Get(), &entry); bMore;
       bMore = ::Process32NextW(snapshot.Get(), &entry)) {
    DWORD dwSession = 0;
    if (::lstrcmpiW(entry.szExeFile, szName) != 0 || !::ProcessIdToSessionId(entry.th32ProcessID, &dwSession) ||
        dwSession != dwOwnSession)
      continue;
    CCloseHandle process(
        ::OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, entry.th32ProcessID));
    if (!process) continue;
    std::vector<wchar_t> image(kMaxPathChars);
    DWORD cch = static_cast<DWORD>(image.size());
    if (!::QueryFullProcessImageNameW(process.Get(), 0, image.data(), &cch)) continue;
    if (::lstrcmpiW(std::wstring(image.data(), cch).c_str(), (strFolder + szName).c_str()) != 0) continue;
    CCloseHandle token;
    if (!::OpenProcessToken(process.Get(), TOKEN_QUERY, token.Receive()) ||
        !IsSameUser(UserOfToken(token.Get()), ownUser))
      continue;
    parts.push_back(SRunningPart{std::move(process), entry.th32ProcessID, szName});
  }
  return parts;
}

bool HasEnded(const SRunningPart& part, DWORD dwWaitMs) {
  return ::WaitForSingleObject(part.process.Get(), dwWaitMs) == WAIT_OBJECT_0;
}

std::wstring Describe(const SRunningPart& part) {
  return part.strName + L" (process " + std::to_wstring(part.dwId) + L")";
}

// The last resort for a part that did not end when asked.
void EndFromOutside(MSIHANDLE hInstall, const SRunningPart& part) {
  ::TerminateProcess(part.process.Get(), 1);
  Log(hInstall, Describe(part) + (HasEnded(part, kForcedEndWaitMs) ? L" did not end when asked and was ended"
                                                                   : L" did not end, not even from outside"));
}

// The name of a guard's stop event as seen from this process, which may run in
// another session than the guard (its "Local\\" is the guard's session's).
std::string StopEventName(const SRunningPart& guard, DWORD dwGuardSession) {
  const std::string strName = GuardStopEventName(guard.dwId);
  DWORD dwOwnSession = 0;
  const std::string strLocal = "Local\\";
  if (!::ProcessIdToSessionId(::GetCurrentProcessId(), &dwOwnSession) || dwOwnSession == dwGuardSession ||
      strName.compare(0, strLocal.size(), strLocal) != 0)
    return strName;
  return "Session\\" + std::to_string(dwGuardSession) + "\\" + strName.substr(strLocal.size());
}

// Each file, then its folder, deepest first: set aside and deleted at the next
// restart. Returns how many entries will go then; *pnLeft counts those that stay.
int ScheduleFolder(MSIHANDLE hInstall, const std::wstring& strFolder, const std::wstring& strAsideSuffix, int* pnLeft) {
  int nScheduled = 0;
  WIN32_FIND_DATAW found = {};
  const CFindClose search(::FindFirstFileW((strFolder + L"*").c_str(), &found));
  for (bool bMore = search.IsValid(); bMore; bMore = ::FindNextFileW(search.Get(), &found) != FALSE) {
    const std::wstring strName = found.cFileName;
    if (strName == L"." || strName == L"..") continue;
    std::wstring strPath = strFolder + strName;
    // A link to a folder elsewhere goes as a link; what it points to stays.
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
        !(found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
      nScheduled += ScheduleFolder(hInstall, strPath + L"\\", strAsideSuffix, pnLeft);
      continue;
    }
    // Set aside, so that a new installation before the restart keeps its own file of
    // this name; a file that cannot be set aside goes under its own name.
    const std::wstring strAside = strPath + strAsideSuffix;
    if (::MoveFileExW(strPath.c_str(), strAside.c_str(), 0)) strPath = strAside;
    if (::MoveFileExW(strPath.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT)) {
      Log(hInstall, L"in use, removed at the next restart: " + strFolder + strName);
      ++nScheduled;
    } else {
      Log(hInstall, L"in use and left behind (error " + std::to_wstring(::GetLastError()) + L"): " + strPath);
      ++*pnLeft;
    }
  }
  // A folder that is not empty by then stays: a new installation is in it.
  const std::wstring strSelf = strFolder.substr(0, strFolder.size() - 1);
  if (::MoveFileExW(strSelf.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT)) ++nScheduled;
  return nScheduled;
}

}  // namespace

extern "C" __declspec(dllexport) UINT __stdcall EndRunningParts(MSIHANDLE hInstall) {
  const std::wstring strFolder = AppFolder(hInstall);
  if (strFolder.empty()) return ERROR_SUCCESS;
  DWORD dwSession = 0;
  // The console first, which had its time to exit when asked: while it runs it
  // starts a guard again that has ended.
  for (const SRunningPart& console : FindRunning(strFolder, kConsoleProgram, &dwSession))
    if (!HasEnded(console, 0)) EndFromOutside(hInstall, console);
  // The guard's name, as the console starts it: plain letters, after the backslash.
  const std::wstring strGuardName(kGuardProgram + 1, kGuardProgram + std::strlen(kGuardProgram));
  const std::vector<SRunningPart> guards = FindRunning(strFolder, strGuardName.c_str(), &dwSession);
  for (const SRunningPart& guard : guards) {
    const CCloseHandle stopEvent(::CreateEventA(nullptr, TRUE, FALSE, StopEventName(guard, dwSession).c_str()));
    if (stopEvent) ::SetEvent(stopEvent.Get());
  }
  const ULONGLONG ullDeadline = ::GetTickCount64() + kOwnEndWaitMs;
  for (const SRunningPart& guard : guards) {
    const ULONGLONG ullNow = ::GetTickCount64();
    if (HasEnded(guard, ullNow < ullDeadline ? static_cast<DWORD>(ullDeadline - ullNow) : 0))
      Log(hInstall, Describe(guard) + L" ended when asked");
    else
      EndFromOutside(hInstall, guard);
  }
  return ERROR_SUCCESS;
}

extern "C" __declspec(dllexport) UINT __stdcall ScheduleLeftovers(MSIHANDLE hInstall) {
  const std::wstring strFolder = AppFolder(hInstall);
  if (strFolder.empty() || ::GetFileAttributesW(strFolder.c_str()) == INVALID_FILE_ATTRIBUTES) return ERROR_SUCCESS;
  const std::wstring strAsideSuffix = L"." + std::to_wstring(::GetTickCount64()) + L".removed";
  int nLeft = 0;
  if (ScheduleFolder(hInstall, strFolder, strAsideSuffix, &nLeft) > 0) {
    Log(hInstall, L"the rest of " + strFolder + L" goes at the next restart");
    ::MsiSetMode(hInstall, MSIRUNMODE_REBOOTATEND, TRUE);
  }
  if (nLeft > 0) Log(hInstall, std::to_wstring(nLeft) + L" files stay in " + strFolder + L"; delete them by hand");
  return ERROR_SUCCESS;
}
