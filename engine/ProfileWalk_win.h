// The walk of the matchers over a working definitions file, entry by entry through
// the system's private-profile reader: the answer when the file cannot be indexed,
// and the reference the index is measured and tested against.
#pragma once

#include "definitions/DefinitionReader.h"
#include "engine/LSPGlobals.h"

class CProfileWalkReader : public IDefinitionReader {
 public:
  // szPath is read at every entry; it must outlive the reader.
  explicit CProfileWalkReader(const char* szPath) : m_szPath(szPath) {}

  unsigned long ReadEntry(const char* szSection, const char* szKey, char* szOut,
                          unsigned long dwOutSize) const override {
    return CLSPGlobals::GetEncPrivateProfileString(szSection, szKey, "", szOut, dwOutSize, m_szPath);
  }

 private:
  const char* m_szPath;
};
