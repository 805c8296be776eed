#include "console/core/HookwardenApp_win.h"

#include <windows.h>

#include <cstring>
#include <string>

namespace {

// The module path up to, not including, the last backslash.
std::string FolderOfThisProgram() {
  char szPath[261] = {};
  const DWORD cch = ::GetModuleFileNameA(nullptr, szPath, sizeof(szPath));
  if (cch == 0 || cch >= sizeof(szPath)) return std::string();
  char* pLastBackslash = std::strrchr(szPath, '\\');
  if (pLastBackslash) *pLastBackslash = 0;
  return szPath;
}

}  // namespace

CHookwardenApp::CHookwardenApp() : m_settings(FolderOfThisProgram().c_str()) {}
