// A fresh folder below the temporary folder, removed with everything in it when
// the test ends.
#pragma once

#include <windows.h>

#include <fstream>
#include <string>

#include "shared/OwnedResources_win.h"

inline void DeleteTree(const std::string& strFolder) {
  WIN32_FIND_DATAA found = {};
  {
    CFindClose search(::FindFirstFileA((strFolder + "\\*").c_str(), &found));
    if (search) {
      do {
        const std::string strName = found.cFileName;
        if (strName == "." || strName == "..") continue;
        const std::string strPath = strFolder + "\\" + strName;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
          DeleteTree(strPath);
        else
          ::DeleteFileA(strPath.c_str());
      } while (::FindNextFileA(search.Get(), &found));
    }
  }
  ::RemoveDirectoryA(strFolder.c_str());
}

inline bool IsFolder(const std::string& strPath) {
  const DWORD dwAttributes = ::GetFileAttributesA(strPath.c_str());
  return dwAttributes != INVALID_FILE_ATTRIBUTES && (dwAttributes & FILE_ATTRIBUTE_DIRECTORY);
}

inline void WriteFileBytes(const std::string& strPath, const std::string& strBytes) {
  std::ofstream file(strPath, std::ios::binary | std::ios::trunc);
  file << strBytes;
}

class CTempFolder {
 public:
  CTempFolder() {
    char szTemp[MAX_PATH] = {};
    ::GetTempPathA(sizeof(szTemp), szTemp);
    static int s_nCount = 0;
    m_strPath =
        std::string(szTemp) + "hwtest" + std::to_string(::GetCurrentProcessId()) + "_" + std::to_string(++s_nCount);
    DeleteTree(m_strPath);
    ::CreateDirectoryA(m_strPath.c_str(), nullptr);
  }
  ~CTempFolder() { DeleteTree(m_strPath); }
  CTempFolder(const CTempFolder&) = delete;
  CTempFolder& operator=(const CTempFolder&) = delete;

  const std::string& Path() const { return m_strPath; }
  const char* c_str() const { return m_strPath.c_str(); }

 private:
  std::string m_strPath;
};

// The application folder that the build lays out: bin\..\app beside the tests.
inline std::string BuiltAppFolder() {
  char szModule[MAX_PATH] = {};
  ::GetModuleFileNameA(nullptr, szModule, sizeof(szModule));
  std::string strPath = szModule;
  strPath = strPath.substr(0, strPath.rfind('\\'));  // bin
  strPath = strPath.substr(0, strPath.rfind('\\'));  // build folder
  return strPath + "\\app";
}
