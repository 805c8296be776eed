// Module state of the in-process server.
#include "engine/browser/ComModule_win.h"

namespace ComModule {
namespace {
LONG g_nObjects = 0;
LONG g_nLocks = 0;
}  // namespace

HMODULE GetModule() {
  // Found by an address inside this library, so no entry-point code is needed.
  HMODULE hModule = nullptr;
  ::GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&GetModule), &hModule);
  return hModule;
}

bool GetModulePath(char (&szPath)[261]) {
  const DWORD n = ::GetModuleFileNameA(GetModule(), szPath, sizeof(szPath));
  if (n == 0 || n >= sizeof(szPath)) {
    szPath[0] = 0;
    return false;
  }
  return true;
}

bool GetModulePathW(wchar_t (&wszPath)[261]) {
  const DWORD n = ::GetModuleFileNameW(GetModule(), wszPath, 261);
  if (n == 0 || n >= 261) {
    wszPath[0] = 0;
    return false;
  }
  return true;
}

void AddObject() {
  ::InterlockedIncrement(&g_nObjects);
}
void ReleaseObject() {
  ::InterlockedDecrement(&g_nObjects);
}
void Lock() {
  ::InterlockedIncrement(&g_nLocks);
}
void Unlock() {
  ::InterlockedDecrement(&g_nLocks);
}
bool CanUnload() {
  return g_nObjects == 0 && g_nLocks == 0;
}

}  // namespace ComModule
