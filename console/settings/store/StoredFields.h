// The stored form of a settings object as one table: each row names a value, the
// form its bytes take and the member that holds it. The same rows serve the load
// and the save, so that a value's name (as stored, misspellings included) is
// written down once. Rows are read and written in table order, which is also the
// order of the values in the key.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "console/settings/KindsAndRatings.h"
#include "console/settings/LocalTime.h"
#include "console/settings/store/StoreKey.h"
#include "shared/Result.h"

enum class EStoredForm : std::uint8_t {
  Text,         // REG_SZ; an empty value keeps the member
  TextOrEmpty,  // REG_SZ; an empty value empties the member
  Number,       // 4 bytes REG_BINARY; read "copied": the stored bytes replace the low bytes
  Flag,         // 4 bytes REG_BINARY; read: only the lowest byte counts
  Byte,         // 1 byte REG_BINARY
  Word,         // 2 bytes REG_BINARY; the stored bytes replace the low bytes
  DecimalText,  // a number as decimal text, REG_SZ; read like TextOrEmpty
  RawNumber,    // a number's 4 bytes under REG_SZ, as earlier versions wrote it; read "copied"
  Time,         // the 16 bytes of a SYSTEMTIME, REG_BINARY
  Zero,         // written as the number 0, never read
  Kind,         // an entry kind as its stored text, REG_SZ; an empty value is no kind
  Rating,       // a rating as its stored text, REG_SZ; an empty value is no rating
};

// Where one row's member lies in an object; one of the pointers is set, as the
// form needs it.
template <class TObject>
struct SStoredField {
  const char* szName;
  EStoredForm eForm;
  std::string TObject::*pText = nullptr;
  std::int32_t TObject::*pNumber = nullptr;
  std::uint8_t TObject::*pByte = nullptr;
  std::uint16_t TObject::*pWord = nullptr;
  SLocalTime TObject::*pTime = nullptr;
  SEntryKind TObject::*pKind = nullptr;
  SRating TObject::*pRating = nullptr;
};

// The rows, built by form so that form and member type agree.
template <class TObject>
constexpr SStoredField<TObject> StoredText(const char* szName, std::string TObject::*pMember,
                                           EStoredForm eForm = EStoredForm::Text) {
  return {szName, eForm, pMember};
}
template <class TObject>
constexpr SStoredField<TObject> StoredNumber(const char* szName, std::int32_t TObject::*pMember,
                                             EStoredForm eForm = EStoredForm::Number) {
  return {szName, eForm, nullptr, pMember};
}
template <class TObject>
constexpr SStoredField<TObject> StoredByte(const char* szName, std::uint8_t TObject::*pMember) {
  return {szName, EStoredForm::Byte, nullptr, nullptr, pMember};
}
template <class TObject>
constexpr SStoredField<TObject> StoredWord(const char* szName, std::uint16_t TObject::*pMember) {
  return {szName, EStoredForm::Word, nullptr, nullptr, nullptr, pMember};
}
template <class TObject>
constexpr SStoredField<TObject> StoredTime(const char* szName, SLocalTime TObject::*pMember) {
  return {szName, EStoredForm::Time, nullptr, nullptr, nullptr, nullptr, pMember};
}
template <class TObject>
constexpr SStoredField<TObject> StoredKind(const char* szName, SEntryKind TObject::*pMember) {
  return {szName, EStoredForm::Kind, nullptr, nullptr, nullptr, nullptr, nullptr, pMember};
}
template <class TObject>
constexpr SStoredField<TObject> StoredRating(const char* szName, SRating TObject::*pMember) {
  return {szName, EStoredForm::Rating, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, pMember};
}
template <class TObject>
constexpr SStoredField<TObject> StoredZero(const char* szName) {
  return {szName, EStoredForm::Zero};
}

// One row bound to its member in one object.
struct SFieldRef {
  const char* szName;
  EStoredForm eForm;
  std::string* pText;
  std::int32_t* pNumber;
  std::uint8_t* pByte;
  std::uint16_t* pWord;
  SLocalTime* pTime;
  SEntryKind* pKind;
  SRating* pRating;
};

// Reads the row's value into its member; true when the value was there and was
// taken. A missing or unreadable value, or one longer than cbMost (when not 0),
// leaves the member as it was.
bool ReadStoredField(IStoreKey& key, const SFieldRef& field, std::size_t cbMost);
CResult WriteStoredField(IStoreKey& key, const SFieldRef& field);

template <class TObject, class TMember>
TMember* MemberOf(TObject& object, TMember TObject::*pMember) {
  return pMember ? &(object.*pMember) : nullptr;
}

template <class TObject>
SFieldRef BindField(const SStoredField<TObject>& field, TObject& object) {
  return {field.szName,
          field.eForm,
          MemberOf(object, field.pText),
          MemberOf(object, field.pNumber),
          MemberOf(object, field.pByte),
          MemberOf(object, field.pWord),
          MemberOf(object, field.pTime),
          MemberOf(object, field.pKind),
          MemberOf(object, field.pRating)};
}

// Reads every row of the table; the number of values taken.
template <class TObject, std::size_t N>
int ReadStoredFields(IStoreKey& key, const SStoredField<TObject> (&fields)[N], TObject* pObject,
                     std::size_t cbMost = 0) {
  int nRead = 0;
  for (const SStoredField<TObject>& field : fields) nRead += ReadStoredField(key, BindField(field, *pObject), cbMost);
  return nRead;
}

// Writes every row of the table; stops at the first value the registry refuses.
template <class TObject, std::size_t N>
CResult WriteStoredFields(IStoreKey& key, const SStoredField<TObject> (&fields)[N], const TObject& object) {
  for (const SStoredField<TObject>& field : fields) {
    // Writing only reads the member.
    CResult result = WriteStoredField(key, BindField(field, const_cast<TObject&>(object)));
    if (!result.IsOk()) return result;
  }
  return CResult();
}
