// A registry key tree held in memory: what the product key holds as far as this
// process knows. The settings load reads the product key into one once and the
// settings objects read from it; every save compares what the objects write with
// it and changes only the differences (StoreChanges.h).
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "console/settings/store/StoreKey.h"

// Orders names as the registry tells them apart: without regard to the case of A to Z.
struct SKeyNameLess {
  bool operator()(const std::string& strLeft, const std::string& strRight) const;
};
bool IsSameKeyName(const std::string& strLeft, const std::string& strRight);

struct SStoredKey {
  struct SValue {
    std::string strName;
    std::uint32_t dwType = 0;
    std::string strData;
    bool bWritten = false;  // marks of one comparison (CChangeCollector)
  };
  std::vector<SValue> values;  // in the order the key gave or got them
  std::map<std::string, SStoredKey, SKeyNameLess> subKeys;
  bool bWritten = false;

  SValue* FindValue(const std::string& strName, std::size_t nHint = 0);
};

enum class EStoreChange : std::uint8_t { CreateKey = 1, SetValue = 2, RemoveValue = 3, RemoveKey = 4 };

// One change of the key at strPath (below the product key, names joined by "\",
// empty for the product key itself): strName is the value's or the subkey's name.
struct SStoreChange {
  EStoreChange eKind = EStoreChange::SetValue;
  std::string strPath;
  std::string strName;
  std::uint32_t dwType = 0;
  std::string strData;
};

// What the product key holds, and whether that is known: it is after the settings
// load and after every save of this process, until another part of the process
// changes the key (nGeneration tells).
struct SStoredState {
  SStoredKey tree;
  bool bKnown = false;
  unsigned nGeneration = 0;
  // The settings' first writes over values stored with another type, which the
  // saves leave as stored until the settings write something else there.
  std::vector<SStoreChange> keptAsStored;
};

// The tree as a key: for the settings objects' readers and for applying changes.
class CStoredTreeKey : public IStoreKey {
 public:
  explicit CStoredTreeKey(SStoredKey* pNode) : m_pNode(pNode) {}

  std::unique_ptr<IStoreKey> OpenSubKey(const char* szName) override;
  CResult CreateKey(const char* szName, std::unique_ptr<IStoreKey>* ppKey) override;
  std::vector<std::string> SubKeyNames() override;
  std::vector<std::string> ValueNames() override;
  bool ReadValue(const char* szName, std::string* pData) override;
  bool ReadTypedValue(const char* szName, std::uint32_t* pType, std::string* pData) override;
  CResult ReadAllValues(std::vector<SStoreValue>* pValues) override;
  CResult SetValue(const char* szName, std::uint32_t dwType, const void* pData, std::size_t cbData) override;
  CResult RemoveValue(const char* szName) override;
  CResult RemoveSubKey(const char* szName) override;

 private:
  SStoredKey* m_pNode;
};

// Reads every value and subkey below key into *pTree (emptied first). What cannot
// be read is left out: a save then writes it again rather than trusting it.
void ReadStoreTree(IStoreKey& key, SStoredKey* pTree);
