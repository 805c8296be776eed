#include "standins/defstool/ShippedDefinitions.h"

#include "console/core/ShippedDefinitionsText.h"
#include "console/settings/DefinitionsVersion.h"

bool IsDefinitionsVersion(const std::string& strVersion) {
  return DefinitionsVersionNumber(strVersion) != 0;
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
