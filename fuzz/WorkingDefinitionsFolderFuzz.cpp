// The choice of the working definitions file's folder on any two paths ("Data Path"
// and the user's own folder, split at the first zero byte): it answers with the
// application folder or a plain local own folder, nothing else.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "engine/WorkingDefinitionsFolder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t cbData) {
  const std::string strInput(reinterpret_cast<const char*>(pData), cbData);
  const std::size_t nSplit = strInput.find('\0');
  const std::string strDataPath = strInput.substr(0, nSplit);
  const std::string strOwn = nSplit == std::string::npos ? std::string() : strInput.substr(nSplit + 1);
  const std::string strApp = "C:\\Program Files\\Hookwarden";
  const std::string strFolder = WorkingDefinitionsFolder(strApp, strDataPath, strOwn);
  if (strFolder != strApp && (strFolder != strOwn || !IsPlainLocalPath(strOwn) || strDataPath.empty())) std::abort();
  return 0;
}
