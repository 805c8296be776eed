#include "standins/defstool/ShippedDefinitions.h"

#include "definitions/ShippedDefinitionsText.h"
#include "definitions/DefinitionsVersion.h"

namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

}  // namespace

bool IsDefinitionsVersion(const std::string& strVersion) {
  constexpr std::size_t kDateChars = 10;
  if (strVersion.size() < kDateChars) return false;
  for (std::size_t i = 0; i < kDateChars; ++i) {
    const bool bSlash = (i == 2 || i == 5);
    if (bSlash ? strVersion[i] != '/' : !IsDigit(strVersion[i])) return false;
  }
  // The day's sequence after the date: what the updater compares.
  return strVersion.size() == kDateChars || DefinitionsVersionSequence(strVersion) >= 0;
}

bool WriteShippedDefinitions(const std::string& strWorkingText, const std::string& strVersion, std::string& strFile,
                             std::string& strError) {
  if (!IsDefinitionsVersion(strVersion)) {
    strError = "version \"" + strVersion + "\" is not of the form MM/DD/YYYY or MM/DD/YYYY.N (N: 1 to 3 digits)";
    return false;
  }
  if (strWorkingText.empty()) {
    strError = "no definitions to write";
    return false;
  }
  if (!EncryptShippedDefinitions(strWorkingText, strVersion, strFile)) {
    strError = "version \"" + strVersion + "\" decrypts to a byte-order mark; choose another date";
    return false;
  }
  return true;
}
