// Texts that the settings read from outside: language file values, language file
// names, name codes from the registry, registry value bytes and the header line of
// the shipped definitions file.
#include <cstddef>
#include <cstdint>
#include <string>

#include "definitions/DefinitionsVersion.h"
#include "console/settings/LanguageText.h"
#include "console/settings/NameCode.h"
#include "console/settings/store/RegistryValueData.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t cbData) {
  const std::string strText(reinterpret_cast<const char*>(pData), cbData);
  const char* szText = strText.c_str();  // up to the first zero byte, as the registry and profile readers give it

  const std::string strDecoded = DecodeNameCode(szText);
  if (strDecoded.find('\0') != std::string::npos) __builtin_trap();
  // Decoding what was encoded gives the upper-cased text back when it round trips.
  const std::string strEncoded = EncodeNameCode(szText);
  (void)DecodeNameCode(strEncoded.c_str());

  const std::string strExpanded = ExpandLanguageValue(szText);
  if (strExpanded.size() > strText.size()) __builtin_trap();
  (void)LanguageNameOfFile(szText);

  const std::string strVersion = DefinitionsVersionOfHeader(reinterpret_cast<const char*>(pData), cbData);
  if (strVersion.size() > 254) __builtin_trap();

  const std::size_t cbValue = cbData < kRegistryReadBufferSize ? cbData : kRegistryReadBufferSize;
  (void)TextOfValueData(pData, cbValue);
  (void)CopiedValueData(pData, cbValue, 7);
  (void)LowByteOfValueData(pData, cbValue, 7);
  return 0;
}
