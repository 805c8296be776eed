// The exported matchers and GetUrl: the platform-free matching over the working
// definitions file named by szDBPath, read entry by entry through
// GetEncPrivateProfileString (no cache: every call reads the file anew).
#include "engine/DefinitionMatchers.h"
#include "engine/LSPGlobals.h"
#include "engine/RequestUrl.h"

namespace {

class CWorkingDefinitionsReader : public IDefinitionReader {
 public:
  unsigned long ReadEntry(const char* szSection, const char* szKey, char* szOut,
                          unsigned long dwOutSize) const override {
    return CLSPGlobals::GetEncPrivateProfileString(szSection, szKey, "", szOut, dwOutSize, CLSPGlobals::szDBPath);
  }
};

CDefinitionMatchers WorkingDefinitions() {
  static const CWorkingDefinitionsReader reader;  // stateless, shared by every thread
  return CDefinitionMatchers(reader);
}

}  // namespace

bool CLSPGlobals::IsBadIP(const char* szAddress) {
  return WorkingDefinitions().IsBadIP(szAddress);
}

bool CLSPGlobals::IsBadUrl(char* szLink) {
  return WorkingDefinitions().IsBadUrl(szLink);
}

bool CLSPGlobals::IsBadMailFrom(const char* szFrom) {
  return WorkingDefinitions().IsBadMailFrom(szFrom);
}

bool CLSPGlobals::IsBadMailSubject(const char* szSubject) {
  return WorkingDefinitions().IsBadMailSubject(szSubject);
}

bool CLSPGlobals::IsBadMailLinks(const char* szText, char* szMatchedLink) {
  return WorkingDefinitions().IsBadMailLinks(szText, szMatchedLink);
}

bool CLSPGlobals::IsBadVisibleMailLinks(const char* szText, char* szVisibleLink, char* szCalledLink) {
  return WorkingDefinitions().IsBadVisibleMailLinks(szText, szVisibleLink, szCalledLink);
}

bool CLSPGlobals::IsBadMailText(const char* szText, char* szMatchedText) {
  return WorkingDefinitions().IsBadMailText(szText, szMatchedText);
}

void CLSPGlobals::GetUrl(const char* szRequest, char* szUrl) {
  CutRequestUrl(szRequest, szUrl);
}
