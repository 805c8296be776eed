// Reads a file's version resource: the fixed file information and the texts of
// its string table in the file's first translation.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

class CFileVersionInfo {
 public:
  // The keys a version resource's string table offers.
  static const char* const kKeyNames[8];

  // Reads the whole version resource of the file. False when the file has none,
  // it cannot be read, or its fixed information is missing or not valid.
  bool Load(const char* szPath);
  // The text of a key ("FileVersion", ...) in the file's translation, or empty.
  std::string GetText(const char* szKey) const;

  const VS_FIXEDFILEINFO& GetFixedInfo() const { return m_fixedInfo; }
  // The first entry of the translation table; language 0 and code page 1252 when
  // the resource has none.
  WORD GetLanguage() const { return m_wLanguage; }
  WORD GetCodePage() const { return m_wCodePage; }

 private:
  // The query functions want a writable block.
  mutable std::vector<BYTE> m_block;
  VS_FIXEDFILEINFO m_fixedInfo = {};
  WORD m_wLanguage = 0;
  WORD m_wCodePage = 1252;
};

// "FileVersion" of the file, empty when it has no version information.
std::string GetFileVersionText(const char* szPath);
// The engine library's version: that of "\quellmail.dll" in the application folder.
std::string GetEngineVersion(const char* szAppFolder);

// The definitions version from the header line of "\hkwdn1.hwd" in the folder;
// empty when the file cannot be read or its line is not a date.
std::string ReadDefinitionsVersion(const char* szAppFolder);
