// A store key that passes everything to a real one and counts the changes made
// through it and its subkeys, and the keys whose values were read whole; a fault lets a number of changes through and
// fails the next one with ERROR_ACCESS_DENIED, and with bStop every later one too, as if the process had ended.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "console/settings/store/StoreKey.h"

struct SChangeFault {
  int nChanges = 0;
  int nKeysRead = 0;
  int nAllowed = -1;  // below 0: no fault
  bool bStop = false;
  bool bStopped = false;

  void Set(int nAllowedChanges, bool bStopAfter) {
    nAllowed = nAllowedChanges;
    bStop = bStopAfter;
    bStopped = false;
  }
  // Counts a change and tells whether it may be made.
  bool MayChange() {
    ++nChanges;
    if (bStopped) return false;
    if (nAllowed < 0) return true;
    if (nAllowed > 0) {
      --nAllowed;
      return true;
    }
    nAllowed = -1;
    bStopped = bStop;
    return false;
  }
};

class CFaultyStoreKey : public IStoreKey {
 public:
  CFaultyStoreKey(IStoreKey& key, SChangeFault& fault) : m_key(key), m_fault(fault) {}

  std::unique_ptr<IStoreKey> OpenSubKey(const char* szName) override { return Wrap(m_key.OpenSubKey(szName)); }
  CResult CreateKey(const char* szName, std::unique_ptr<IStoreKey>* ppKey) override {
    ppKey->reset();
    if (!m_fault.MayChange()) return CResult(RESULT_ACCESS_DENIED);
    std::unique_ptr<IStoreKey> pKey;
    const CResult nResult = m_key.CreateKey(szName, &pKey);
    *ppKey = Wrap(std::move(pKey));
    return nResult;
  }
  std::vector<std::string> SubKeyNames() override { return m_key.SubKeyNames(); }
  std::vector<std::string> ValueNames() override { return m_key.ValueNames(); }
  bool ReadValue(const char* szName, std::string* pData) override { return m_key.ReadValue(szName, pData); }
  bool ReadTypedValue(const char* szName, std::uint32_t* pType, std::string* pData) override {
    return m_key.ReadTypedValue(szName, pType, pData);
  }
  CResult ReadAllValues(std::vector<SStoreValue>* pValues) override {
    ++m_fault.nKeysRead;
    return m_key.ReadAllValues(pValues);
  }
  CResult SetValue(const char* szName, std::uint32_t dwType, const void* pData, std::size_t cbData) override {
    return m_fault.MayChange() ? m_key.SetValue(szName, dwType, pData, cbData) : CResult(RESULT_ACCESS_DENIED);
  }
  CResult RemoveValue(const char* szName) override {
    return m_fault.MayChange() ? m_key.RemoveValue(szName) : CResult(RESULT_ACCESS_DENIED);
  }
  CResult RemoveSubKey(const char* szName) override {
    return m_fault.MayChange() ? m_key.RemoveSubKey(szName) : CResult(RESULT_ACCESS_DENIED);
  }

 private:
  // A subkey: keeps its real key alive and counts into the same fault.
  CFaultyStoreKey(std::unique_ptr<IStoreKey> pKey, SChangeFault& fault)
      : m_pOwned(std::move(pKey)), m_key(*m_pOwned), m_fault(fault) {}
  std::unique_ptr<IStoreKey> Wrap(std::unique_ptr<IStoreKey> pKey) {
    if (!pKey) return nullptr;
    return std::unique_ptr<IStoreKey>(new CFaultyStoreKey(std::move(pKey), m_fault));
  }

  std::unique_ptr<IStoreKey> m_pOwned;
  IStoreKey& m_key;
  SChangeFault& m_fault;
};
