// Bytes of any kind as a host name (up to the first line feed) and a path. Beyond
// not crashing: the normal form is what the check relies on, so it holds no
// upper-case host letters or trailing dot, and no empty, "." or ".." segment.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "guard/proxy/AddressForm.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t cbData) {
  const std::string strBytes(reinterpret_cast<const char*>(pData), cbData);
  const std::size_t nBreak = strBytes.find('\n');
  const std::string strHost = strBytes.substr(0, nBreak);
  const std::string strPath = nBreak == std::string::npos ? std::string() : strBytes.substr(nBreak + 1);

  const std::string strNormalHost = NormalHostName(strHost);
  if (strNormalHost.size() > strHost.size() || (!strNormalHost.empty() && strNormalHost.back() == '.')) std::abort();
  for (char c : strNormalHost) {
    if (c >= 'A' && c <= 'Z') std::abort();
  }

  const std::string strNormalPath = NormalPath(strPath);
  if (strNormalPath.empty() || strNormalPath[0] != '/' || strNormalPath.size() > strPath.size() + 1) std::abort();
  if (strNormalPath.find("//") != std::string::npos) std::abort();
  const std::string strSlashed = strNormalPath + "/";
  if (strSlashed.find("/./") != std::string::npos || strSlashed.find("/../") != std::string::npos) std::abort();
  return 0;
}
