// Plain definitions lists of any content: parsed, checked and, when accepted,
// written out; every accepted entry must come back from the scrambled text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "definitions/Scrambling.h"
#include "standins/defstool/DefinitionsList.h"
#include "standins/defstool/ReadBackCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t cbData) {
  const std::string strText(reinterpret_cast<const char*>(pData), cbData);
  const CResultOf<DefinitionsList> parsed = ParsePlainDefinitions(strText);
  if (!parsed.IsOk()) return 0;
  const DefinitionsList& list = parsed.Value();
  if (!FindReadBackFaults(list).empty()) return 0;
  WriteWorkingDefinitions(list);
  for (const auto& section : list) {
    if (UnscrambleString(ScrambleString(section.strName)) != section.strName) std::abort();
    for (const auto& entry : section.entries) {
      if (UnscrambleString(ScrambleString(entry.strValue)) != entry.strValue) std::abort();
    }
  }
  return 0;
}
