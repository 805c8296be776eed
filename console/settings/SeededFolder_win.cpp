#include "console/settings/SeededFolder_win.h"

#include <windows.h>

#include "console/core/HookwardenApp_win.h"
#include "console/settings/PseudoRandom.h"

std::string GetSeededFolder(const char* szAppFolder, unsigned nSeed) {
  CPseudoRandom random(nSeed);
  const std::string strFirst = std::string(szAppFolder ? szAppFolder : "") + "\\" + std::to_string(random.Next());
  const std::string strSecond = strFirst + "\\" + std::to_string(random.Next());
  ::CreateDirectoryA(strFirst.c_str(), nullptr);
  ::CreateDirectoryA(strSecond.c_str(), nullptr);
  return strSecond;
}

std::string GetLanguageFolder() {
  return GetSeededFolder(CHookwardenApp::Current().GetAppPath(), kLanguageFolderSeed);
}
std::string GetScreenFolder() {
  return GetSeededFolder(CHookwardenApp::Current().GetAppPath(), kScreenFolderSeed);
}
std::string GetHelpFolder() {
  return GetSeededFolder(CHookwardenApp::Current().GetAppPath(), kHelpFolderSeed);
}
