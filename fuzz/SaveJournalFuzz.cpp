// The save's journal as the next start reads it back from the registry: decoding
// whatever bytes are there, and applying what decodes to a key tree.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "console/settings/store/StoreChanges.h"
#include "console/settings/store/StoredTree.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t cbData) {
  const std::string strBytes(reinterpret_cast<const char*>(pData), cbData);
  std::vector<SStoreChange> changes;
  if (!DecodeStoreChanges(strBytes, &changes)) return 0;
  if (EncodeStoreChanges(changes) != strBytes) __builtin_trap();
  SStoredKey tree;
  CStoredTreeKey key(&tree);
  if (!ApplyStoreChanges(key, changes).IsOk()) __builtin_trap();
  return 0;
}
