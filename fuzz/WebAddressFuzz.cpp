// Bytes of any kind as a link. Beyond not crashing: the normal form is what every
// lookup relies on, so it is stable (normalizing it again changes nothing), its
// path is empty or begins with "/" and holds no run of "/", and no escape of an
// unreserved character is left in it. The key of the address fits the request
// record, is in lower case, and holds a "#" only as the mark of a cut key.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "engine/WebAddress.h"
#include "engine/WebAddressKey.h"

namespace {

bool HasUnreservedEscape(const std::string& strText) {
  for (std::size_t i = 0; i + 2 < strText.size(); ++i) {
    if (strText[i] != '%') continue;
    const std::string strHex = strText.substr(i + 1, 2);
    char* pEnd = nullptr;
    const long nValue = std::strtol(strHex.c_str(), &pEnd, 16);
    if (pEnd != strHex.c_str() + 2 || strHex[0] == '-' || strHex[0] == '+' || strHex[0] == ' ') continue;
    const char c = static_cast<char>(nValue);
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
        c == '_' || c == '~')
      return true;
  }
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t cbData) {
  const std::string strLink(reinterpret_cast<const char*>(pData), cbData);
  const SWebAddress normal = NormalizeWebAddress(WebAddressOfLink(strLink));
  const SWebAddress again = NormalizeWebAddress(normal);
  if (again.strHost != normal.strHost || again.strPath != normal.strPath || again.strQuery != normal.strQuery) {
    std::abort();
  }
  if (!normal.strPath.empty() && (normal.strPath[0] != '/' || normal.strPath.find("//") != std::string::npos)) {
    std::abort();
  }
  if (HasUnreservedEscape(normal.strPath) || HasUnreservedEscape(normal.strQuery)) std::abort();
  for (char c : normal.strHost) {
    if (c >= 'A' && c <= 'Z') std::abort();
  }
  const SWebAddress compared = ComparedWebAddress(WebAddressOfLink(strLink));
  if (compared.strHost != normal.strHost) std::abort();
  for (const bool bListedWithoutQuery : {false, true}) {
    const std::string strKey = WebAddressKey(WebAddressOfLink(strLink), 80, bListedWithoutQuery);
    if (strKey.size() > kMaxWebAddressKey) std::abort();
    const std::size_t nMark = strKey.find('#');
    if (nMark != std::string::npos && (strKey.size() != kMaxWebAddressKey || nMark != kMaxWebAddressKey - 33)) {
      std::abort();
    }
    for (char c : strKey) {
      if (c >= 'A' && c <= 'Z') std::abort();
    }
  }
  return 0;
}
