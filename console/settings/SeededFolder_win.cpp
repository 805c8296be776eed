#include "console/settings/SeededFolder_win.h"

#include <windows.h>

#include "console/settings/PseudoRandom.h"

std::string GetSeededFolder(const char* szAppFolder, unsigned nSeed) {
  CPseudoRandom random(nSeed);
  const std::string strFirst = std::string(szAppFolder ? szAppFolder : "") + "\\" + std::to_string(random.Next());
  const std::string strSecond = strFirst + "\\" + std::to_string(random.Next());
  ::CreateDirectoryA(strFirst.c_str(), nullptr);
  ::CreateDirectoryA(strSecond.c_str(), nullptr);
  return strSecond;
}

std::string GetLanguageFolder(const char* szAppFolder) {
  return GetSeededFolder(szAppFolder, kLanguageFolderSeed);
}
std::string GetScreenFolder(const char* szAppFolder) {
  return GetSeededFolder(szAppFolder, kScreenFolderSeed);
}
std::string GetHelpFolder(const char* szAppFolder) {
  return GetSeededFolder(szAppFolder, kHelpFolderSeed);
}
