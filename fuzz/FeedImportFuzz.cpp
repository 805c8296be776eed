// The feed importer on any bytes: whatever it keeps must make a plain list that the
// definitions tool accepts, every entry reading back as written.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "standins/defstool/DefinitionsList.h"
#include "standins/defstool/FeedImport.h"
#include "standins/defstool/ReadBackCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t cbData) {
  CFeedImport import;
  std::string strError;
  import.AddFeed("feed", std::string(reinterpret_cast<const char*>(pData), cbData), strError);
  DefinitionsList list;
  if (!ParsePlainDefinitions(import.WritePlainList(), list, strError)) std::abort();
  if (!FindReadBackFaults(list).empty()) std::abort();
  return 0;
}
