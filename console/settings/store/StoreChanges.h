// The changes that bring the product key from what it holds to what the settings
// objects write: found by comparing the objects' writes with the tree of what is
// stored, applied to the registry (or to the tree itself), and kept, encoded, in
// the save's journal so that a save cut short can be finished.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "console/settings/store/StoreKey.h"
#include "console/settings/store/StoredTree.h"

// Takes the writes of the settings objects (through ProductKey) and compares them
// with the tree: a write of what is stored costs nothing, anything else becomes a
// change, and whatever was stored but not written again is removed. The tree is
// not changed (apart from marks that TakeChanges clears).
class CChangeCollector {
 public:
  explicit CChangeCollector(SStoredKey& tree);
  ~CChangeCollector();
  CChangeCollector(const CChangeCollector&) = delete;
  CChangeCollector& operator=(const CChangeCollector&) = delete;

  IStoreKey& ProductKey() { return *m_pRoot; }
  void Add(SStoreChange change) { m_changes.push_back(std::move(change)); }
  // The changes in the order written, then the removals.
  std::vector<SStoreChange> TakeChanges();

 private:
  void Sweep(SStoredKey& node, const std::string& strPath);

  SStoredKey& m_tree;
  std::unique_ptr<IStoreKey> m_pRoot;
  std::vector<SStoreChange> m_changes;
};

// Equal as the readers see them: the same type and bytes; a text may carry one
// terminating zero that the other lacks.
bool IsSameStoredData(std::uint32_t dwType, const std::string& strStored, const void* pData, std::size_t cbData);

// A value stored with a type other than the one the settings write (made by hand
// or by another program) is kept as stored while the settings still write what
// they wrote for it right after the load, when they could not read it: only a
// change the user made replaces it. KeptAsStored takes those first writes from
// the changes found right after the load; DropKeptAsStored removes them from a
// save's changes as long as the stored value still has its other type.
std::vector<SStoreChange> KeptAsStored(const SStoredKey& tree, const std::vector<SStoreChange>& changesAfterLoad);
void DropKeptAsStored(const SStoredKey& tree, const std::vector<SStoreChange>& kept,
                      std::vector<SStoreChange>* pChanges);

// Applies the changes in order below productKey, creating keys as needed; removing
// what is already gone counts as done, so that applying twice gives the same. The
// registry's result of the first change that failed, success when none did.
// Together: many changes are applied by several threads, for a key that may be
// used by several at once (the registry's, not the tree's).
CResult ApplyStoreChanges(IStoreKey& productKey, const std::vector<SStoreChange>& changes, bool bTogether = false);

// The journal's form of changes, and back. Decoding refuses bytes that are cut short
// or malformed.
std::string EncodeStoreChanges(const std::vector<SStoreChange>& changes);
bool DecodeStoreChanges(const std::string& strBytes, std::vector<SStoreChange>* pChanges);
