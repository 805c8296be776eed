#include "console/settings/FileVersion_win.h"

#include <cstdio>
#include <cstring>

#include "definitions/DefinitionsVersion.h"
#include "shared/OwnedResources_win.h"
#include "shared/ReadWholeFile_win.h"

const char* const CFileVersionInfo::kKeyNames[8] = {"CompanyName",  "FileDescription", "FileVersion",
                                                    "InternalName", "LegalCopyright",  "OriginalFilename",
                                                    "ProductName",  "ProductVersion"};

bool CFileVersionInfo::Load(const char* szPath) {
  m_block.clear();
  m_fixedInfo = {};
  m_wLanguage = 0;
  m_wCodePage = 1252;

  DWORD dwHandle = 0;
  const DWORD cbBlock = ::GetFileVersionInfoSizeA(szPath, &dwHandle);
  if (cbBlock == 0) return false;
  std::vector<BYTE> block(cbBlock, 0);
  if (!::GetFileVersionInfoA(szPath, 0, cbBlock, block.data())) return false;
  m_block = std::move(block);

  void* pFixed = nullptr;
  UINT cbFixed = 0;
  if (!::VerQueryValueA(m_block.data(), "\\", &pFixed, &cbFixed) || !pFixed) return false;
  std::memcpy(&m_fixedInfo, pFixed, cbFixed < sizeof(m_fixedInfo) ? cbFixed : sizeof(m_fixedInfo));

  void* pTranslation = nullptr;
  UINT cbTranslation = 0;
  if (::VerQueryValueA(m_block.data(), "\\VarFileInfo\\Translation", &pTranslation, &cbTranslation) && pTranslation &&
      cbTranslation >= 4) {
    WORD words[2];
    std::memcpy(words, pTranslation, sizeof(words));
    m_wLanguage = words[0];
    m_wCodePage = words[1];
  }
  return m_fixedInfo.dwSignature == 0xFEEF04BD;
}

std::string CFileVersionInfo::GetText(const char* szKey) const {
  if (m_block.empty() || !szKey) return std::string();
  char szQuery[300];
  std::snprintf(szQuery, sizeof(szQuery), "\\StringFileInfo\\%04x%04x\\%s", m_wLanguage, m_wCodePage, szKey);
  void* pText = nullptr;
  UINT cchText = 0;
  if (!::VerQueryValueA(m_block.data(), szQuery, &pText, &cchText) || !pText) return std::string();
  // The length counts the terminator, when there is one.
  const char* szText = static_cast<const char*>(pText);
  std::size_t n = 0;
  while (n < cchText && szText[n] != 0) ++n;
  return std::string(szText, n);
}

std::string GetFileVersionText(const char* szPath) {
  CFileVersionInfo info;
  info.Load(szPath);
  return info.GetText("FileVersion");
}

std::string GetEngineVersion(const char* szAppFolder) {
  return GetFileVersionText((std::string(szAppFolder ? szAppFolder : "") + "\\quellmail.dll").c_str());
}

std::string ReadDefinitionsVersion(const char* szAppFolder) {
  // The updater may replace the file meanwhile.
  std::string strHeader;
  ReadFileStart(std::string(szAppFolder ? szAppFolder : "") + kShippedDefinitionsFile, 256, &strHeader);
  return DefinitionsVersionOfHeader(strHeader.data(), strHeader.size());
}
