// A key of the product's registry tree as the settings objects read and write
// it. The reading and writing of their values is free of Win32, so that whatever a
// user or another program left in the registry is decoded the same way in every
// build and can be fuzzed; the conventions are those of RegistryValueData.h:
//   - texts are REG_SZ, written without a terminating zero; a reader takes the bytes
//     up to the first zero byte, and an empty text leaves the field as it was;
//   - numbers are REG_BINARY, little-endian, 4 bytes unless said otherwise;
//   - a value that is missing or unreadable leaves its field as it was.
// Texts are read whole, however long: a list entry's link pair or URL may pass the
// 202 bytes that the other settings read at most.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "shared/Result.h"

enum : std::uint32_t { STORE_REG_SZ = 1, STORE_REG_BINARY = 3 };  // the registry's type numbers

struct SStoreValue {
  std::string strName;
  std::uint32_t dwType = 0;
  std::string strData;
};

class IStoreKey {
 public:
  virtual ~IStoreKey() = default;
  // The subkey, or null when it does not exist or cannot be opened.
  virtual std::unique_ptr<IStoreKey> OpenSubKey(const char* szName) = 0;
  // The subkey, created when missing, into *ppKey (null when that fails). Changes
  // give the registry's own result, so that a failed save can name its reason.
  virtual CResult CreateKey(const char* szName, std::unique_ptr<IStoreKey>* ppKey) = 0;
  // Names of the subkeys directly below the key.
  virtual std::vector<std::string> SubKeyNames() = 0;
  // Names of the values of the key.
  virtual std::vector<std::string> ValueNames() = 0;
  // The value's data bytes, whatever its type; false when it is missing or unreadable.
  virtual bool ReadValue(const char* szName, std::string* pData) = 0;
  // The same with the value's type.
  virtual bool ReadTypedValue(const char* szName, std::uint32_t* pType, std::string* pData) = 0;
  // Every value of the key with its type and data, in the key's order; fails when
  // the key cannot be read.
  virtual CResult ReadAllValues(std::vector<SStoreValue>* pValues);
  virtual CResult SetValue(const char* szName, std::uint32_t dwType, const void* pData, std::size_t cbData) = 0;
  // RESULT_FILE_NOT_FOUND when there is no such value.
  virtual CResult RemoveValue(const char* szName) = 0;
  // Deletes the subkey with everything below it; RESULT_FILE_NOT_FOUND when missing.
  virtual CResult RemoveSubKey(const char* szName) = 0;

  // The subkey, created when missing; null when that fails, for writers that stop
  // there whatever the reason.
  std::unique_ptr<IStoreKey> CreateSubKey(const char* szName) {
    std::unique_ptr<IStoreKey> pKey;
    if (!CreateKey(szName, &pKey).IsOk()) pKey.reset();
    return pKey;
  }
};

// Copies every value and subkey of one key into another, types and bytes as they
// are. Stops at the first read or change that fails: ERROR_CANTWRITE for a read,
// the registry's reason for a change.
CResult CopyStoreTree(IStoreKey& from, IStoreKey& to);

// Readers. Each returns true when the value was there and changed the field.

// "copied": the first bytes of the value (at most 4) replace the field's low bytes.
bool ReadStoredCopied(IStoreKey& key, const char* szName, std::int32_t* pField);
// Keeps the lowest byte, widened: flags, permissions and levels.
bool ReadStoredLowByte(IStoreKey& key, const char* szName, std::int32_t* pField);

// Writers: the registry's result.
CResult WriteStoredText(IStoreKey& key, const char* szName, const std::string& strText);
CResult WriteStoredNumber(IStoreKey& key, const char* szName, std::int32_t nValue);
CResult WriteStoredBytes(IStoreKey& key, const char* szName, const void* pData, std::size_t cbData);

// The numbers below nCount, in ascending order, of the subkeys named szPrefix and
// a number ("MailSafeItem0", "MailSafeItem2"): what opening each name from 0 to
// nCount - 1 would find, without trying every number of a damaged count.
std::vector<int> NumberedSubKeys(IStoreKey& key, const char* szPrefix, std::int32_t nCount);

// Name of a numbered subkey: "MailSafeItem" and 3 give "MailSafeItem3".
std::string NumberedName(const char* szPrefix, int nNumber);
