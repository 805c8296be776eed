// CLSPGlobals: the scrambling, the scrambled lookups in the working definitions
// file and the start-up of the shared paths.
#include <algorithm>
#include <atomic>
#include <cstring>

#include "engine/AppVarsRetry_win.h"
#include "engine/InitializationLock_win.h"
#include "engine/LSPGlobals.h"
#include "definitions/Scrambling.h"
#include "engine/WorkingDefinitionsFolder.h"
#include "shared/BoundedCopy.h"
#include "shared/OwnedResources_win.h"
#include "shared/ProductKey.h"
#include "shared/UserDataFolder_win.h"

namespace {

CRITICAL_SECTION g_csInitialize;

constexpr DWORD kValueBufferSize = 261;  // 260 characters and the terminator

// A plain local path (engine/WorkingDefinitionsFolder.h) whose drive letter is not
// a network drive.
bool IsOnLocalDrive(const std::string& strPath) {
  if (!IsPlainLocalPath(strPath)) return false;
  const char szRoot[] = {strPath[0], ':', '\\', 0};
  return ::GetDriveTypeA(szRoot) != DRIVE_REMOTE;
}

// The user's own data folder as the console finds it (shared/UserDataFolder_win.h),
// without making it; empty when it is not known or lies on a network drive. shell32
// is loaded for this one call: most programs that use sockets never load it.
std::string OwnLocalDataFolder() {
  CFreeLibrary shell(::LoadLibraryExA("shell32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32));
  using FGetFolderPath = HRESULT(WINAPI*)(HWND, int, HANDLE, DWORD, LPSTR);
  const auto getFolderPath = shell ? reinterpret_cast<FGetFolderPath>(reinterpret_cast<void (*)()>(
                                         ::GetProcAddress(shell.Get(), "SHGetFolderPathA")))
                                   : nullptr;
  char szFolder[MAX_PATH] = {};
  if (!getFolderPath || FAILED(getFolderPath(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, szFolder))) {
    return std::string();
  }
  if (!IsOnLocalDrive(szFolder)) return std::string();
  return std::string(szFolder) + kUserDataFolderName;
}

}  // namespace

void CreateInitializationLock() {
  ::InitializeCriticalSection(&g_csInitialize);
}
void DeleteInitializationLock() {
  ::DeleteCriticalSection(&g_csInitialize);
}
CRITICAL_SECTION& InitializationLock() {
  return g_csInitialize;
}

namespace {

constexpr ULONGLONG kAppVarsRetryMs = 1000;
std::atomic<bool> g_bPathless{false};
std::atomic<ULONGLONG> g_nLastRun{0};

}  // namespace

void NoteAppVarsRun(bool bPathless) {
  g_nLastRun = ::GetTickCount64();
  g_bPathless = bPathless;
}

void RetryAppVarsWhilePathless() {
  if (!g_bPathless.load(std::memory_order_relaxed) || CLSPGlobals::szDBPath[0] != 0) return;
  const ULONGLONG nNow = ::GetTickCount64();
  ULONGLONG nLast = g_nLastRun;
  // One thread retries; the others answer from the empty paths meanwhile.
  if (nNow - nLast < kAppVarsRetryMs || !g_nLastRun.compare_exchange_strong(nLast, nNow)) return;
  CLSPGlobals::InitializeAppVars();
}

std::string CLSPGlobals::Encode(unsigned char cByte) {
  return EncodeByte(cByte);
}

unsigned char CLSPGlobals::Decode(std::string strChar) {
  return DecodeByte(strChar);
}

std::string CLSPGlobals::EncryptString(std::string strPlain) {
  return ScrambleString(strPlain);
}

std::string CLSPGlobals::DecryptString(std::string strScrambled) {
  return UnscrambleString(strScrambled);
}

DWORD CLSPGlobals::GetEncPrivateProfileString(const char* szSection, const char* szKey, const char* szDefault,
                                              char* szOut, DWORD dwOutSize, const char* szFile) {
  if (!szOut || dwOutSize == 0) return 0;
  szOut[0] = 0;
  if (!szSection || !szKey || !szFile) return 0;
  const std::string strSection = EncryptString(szSection);
  const std::string strKey = EncryptString(szKey);

  // The reader never gets more room than the working buffer, whatever the caller's
  // size says; the result then fits the caller's buffer, being no longer than it.
  char szValue[kValueBufferSize] = {};
  const DWORD dwLimit = std::min(dwOutSize, kValueBufferSize);
  const DWORD dwRead = ::GetPrivateProfileStringA(strSection.c_str(), strKey.c_str(), szDefault ? szDefault : "",
                                                  szValue, dwLimit, szFile);
  const std::string strPlain = DecryptString(std::string(szValue, std::min(dwRead, dwLimit - 1)));
  CopyBounded(szOut, dwOutSize, strPlain.c_str());  // cut at an unscrambled 0 byte
  return dwRead;
}

DWORD CLSPGlobals::GetEncPrivateProfileSection(const char* szSection, char* szOut, DWORD dwOutSize,
                                               const char* szFile) {
  if (!szSection || !szOut || dwOutSize == 0 || !szFile) return 0;
  return ::GetPrivateProfileSectionA(szSection, szOut, dwOutSize, szFile);
}

std::string CLSPGlobals::GetAppPath() {
  char szPath[kValueBufferSize] = {};
  if (hAppRegKey && !OwnerRegQueryEncValueEx(hAppRegKey, "", kAppPathValue, szPath)) {
    std::memset(szPath, 0, sizeof szPath);
  }
  szPath[kValueBufferSize - 1] = 0;
  // Any program of the user can write the value, and every program that uses
  // sockets reads files below it: a share or network drive would get the user's
  // credentials and stall those calls. Such a value counts as none, so the next
  // call takes the one the console writes again.
  if (!IsOnLocalDrive(szPath)) return std::string();
  return szPath;
}

HKEY CLSPGlobals::InitializeAppRegKey() {
  HKEY hRoot = nullptr;
  if (!OwnerRegConnectRegistry(HKEY_CURRENT_USER, &hRoot)) return nullptr;
  CRegCloseKey root(hRoot);
  HKEY hKey = nullptr;
  if (!OwnerRegCreateKeyEx(hRoot, kProductKeyPath, &hKey)) return nullptr;
  return hKey;
}

bool CLSPGlobals::InitializeAppVars() {
  CLeaveCriticalSection lock(InitializationLock());
  // The product key is open only while this runs; its owner closes it on the way out.
  const CRegCloseKey appKey(hAppRegKey ? hAppRegKey : InitializeAppRegKey());
  hAppRegKey = appKey.Get();
  const bool bOk = hAppRegKey != nullptr;
  // Each path is set once, by the first call that finds it empty. Without an "App
  // Path" the console has not published its folder yet: the paths stay empty, so
  // that a later call (or lookup) takes them once it has.
  if (bOk && szAppPath[0] == 0) CopyBounded(szAppPath, GetAppPath().c_str());
  const bool bPathless = szAppPath[0] == 0;
  if (bOk && !bPathless && szDBPath[0] == 0) {
    // The working definitions file is the user's own, in the user's own folder when
    // the console names one beside "App Path" (never the folder the value names:
    // engine/WorkingDefinitionsFolder.h); a console that names none keeps it
    // beside itself.
    char szDataPath[kValueBufferSize] = {};
    if (!OwnerRegQueryEncValueEx(hAppRegKey, "", kDataPathValue, szDataPath)) szDataPath[0] = 0;
    szDataPath[kValueBufferSize - 1] = 0;
    const std::string strOwnFolder = szDataPath[0] != 0 ? OwnLocalDataFolder() : std::string();
    CopyBounded(szDBPath, WorkingDefinitionsFolder(szAppPath, szDataPath, strOwnFolder).c_str());
    AppendBounded(szDBPath, "\\hkwdn2.hwd");
  }
  if (bOk && !bPathless && szPMailPath[0] == 0) {
    CopyBounded(szPMailPath, szAppPath);
    AppendBounded(szPMailPath, "\\hkwdnm.htm");
  }
  hAppRegKey = nullptr;
  GetMainWndHandle();
  NoteAppVarsRun(bPathless);
  return bOk;
}
