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

CResultOf<std::string> WriteShippedDefinitions(const std::string& strWorkingText, const std::string& strVersion) {
  if (!IsDefinitionsVersion(strVersion)) {
    return CResult(RESULT_INVALID_PARAMETER,
                   "version \"" + strVersion + "\" is not of the form MM/DD/YYYY or MM/DD/YYYY.N (N: 1 to 3 digits)");
  }
  if (strWorkingText.empty()) return CResult(RESULT_INVALID_PARAMETER, "no definitions to write");
  std::string strFile;
  // A well-formed version fits the header line, so only a byte-order mark refuses it here.
  const CResult encrypted = EncryptShippedDefinitions(strWorkingText, strVersion, strFile);
  if (!encrypted.IsOk()) {
    return CResult(encrypted.Code(),
                   "version \"" + strVersion + "\" decrypts to a byte-order mark; choose another date");
  }
  return strFile;
}
