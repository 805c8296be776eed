// Definitions held in memory, read the way the working definitions file is read:
// the value cut to the caller's size, 0 for a missing or empty key. It records
// every key asked for, so tests can see where a walk stopped.
#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "definitions/DefinitionReader.h"
#include "shared/BoundedCopy.h"

class CFakeDefinitionReader : public IDefinitionReader {
 public:
  CFakeDefinitionReader& Set(const std::string& strSection, const std::string& strKey, const std::string& strValue) {
    m_values[{strSection, strKey}] = strValue;
    return *this;
  }

  unsigned long ReadEntry(const char* szSection, const char* szKey, char* szOut,
                          unsigned long dwOutSize) const override {
    m_keysRead.push_back(std::string(szSection) + "/" + szKey);
    auto it = m_values.find({szSection, szKey});
    const std::string strValue = it == m_values.end() ? std::string() : it->second;
    CopyBounded(szOut, dwOutSize, strValue.c_str());
    // The count of characters read, before any byte 0 inside the value cuts it.
    const std::size_t nLimit = dwOutSize ? dwOutSize - 1 : 0;
    return static_cast<unsigned long>(strValue.size() < nLimit ? strValue.size() : nLimit);
  }

  const std::vector<std::string>& KeysRead() const { return m_keysRead; }
  void ForgetKeysRead() { m_keysRead.clear(); }

 private:
  std::map<std::pair<std::string, std::string>, std::string> m_values;
  mutable std::vector<std::string> m_keysRead;
};
