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
  static_cast<void>(import.AddFeed("feed", std::string(reinterpret_cast<const char*>(pData), cbData)));
  const CResultOf<DefinitionsList> list = ParsePlainDefinitions(import.WritePlainList());
  if (!list.IsOk() || !FindReadBackFaults(list.Value()).empty()) std::abort();
  return 0;
}
