#include "console/settings/store/StoredFields.h"

#include <algorithm>
#include <cstring>

#include "console/settings/DecimalText.h"
#include "console/settings/store/RegistryValueData.h"

namespace {
const unsigned char* Bytes(const std::string& strData) {
  return reinterpret_cast<const unsigned char*>(strData.data());
}
}  // namespace

bool ReadStoredField(IStoreKey& key, const SFieldRef& field, std::size_t cbMost) {
  if (field.eForm == EStoredForm::Zero) return false;
  std::string strData;
  if (!key.ReadValue(field.szName, &strData) || (cbMost != 0 && strData.size() > cbMost)) return false;
  switch (field.eForm) {
    case EStoredForm::Text:
    case EStoredForm::TextOrEmpty:
    case EStoredForm::DecimalText:
    case EStoredForm::Kind:
    case EStoredForm::Rating: {
      std::string strText = TextOfValueData(Bytes(strData), strData.size());
      if (strText.empty() && field.eForm == EStoredForm::Text) return false;
      if (field.eForm == EStoredForm::DecimalText) {
        *field.pNumber = DecimalValue(strText.c_str());
      } else if (field.eForm == EStoredForm::Kind) {
        *field.pKind = EntryKindOfStoredText(strText);
      } else if (field.eForm == EStoredForm::Rating) {
        *field.pRating = RatingOfStoredText(strText);
      } else {
        *field.pText = std::move(strText);
      }
      return true;
    }
    case EStoredForm::Number:
    case EStoredForm::RawNumber:
      *field.pNumber = CopiedValueData(Bytes(strData), strData.size(), *field.pNumber);
      return true;
    case EStoredForm::Flag:
      if (strData.empty()) return false;
      *field.pNumber = static_cast<std::uint8_t>(strData[0]);
      return true;
    case EStoredForm::Byte:
      if (strData.empty()) return false;
      *field.pByte = static_cast<std::uint8_t>(strData[0]);
      return true;
    case EStoredForm::Word: {
      const auto nWord = static_cast<std::uint16_t>(
          CopiedValueData(Bytes(strData), std::min<std::size_t>(strData.size(), 2), *field.pWord));
      *field.pWord = nWord;
      return true;
    }
    case EStoredForm::Time:
      LoadLocalTime(Bytes(strData), static_cast<unsigned>(std::min<std::size_t>(strData.size(), LOCAL_TIME_BYTES)),
                    field.pTime);
      return true;
    case EStoredForm::Zero:
      break;
  }
  return false;
}

CResult WriteStoredField(IStoreKey& key, const SFieldRef& field) {
  unsigned char abNumber[4];
  switch (field.eForm) {
    case EStoredForm::Text:
    case EStoredForm::TextOrEmpty:
      return WriteStoredText(key, field.szName, *field.pText);
    case EStoredForm::DecimalText:
      return WriteStoredText(key, field.szName, DecimalText(*field.pNumber));
    case EStoredForm::Kind:
      return WriteStoredText(key, field.szName, StoredTextOf(*field.pKind));
    case EStoredForm::Rating:
      return WriteStoredText(key, field.szName, StoredTextOf(*field.pRating));
    case EStoredForm::Number:
    case EStoredForm::Flag:
      return WriteStoredNumber(key, field.szName, *field.pNumber);
    case EStoredForm::Zero:
      return WriteStoredNumber(key, field.szName, 0);
    case EStoredForm::Byte:
      return WriteStoredBytes(key, field.szName, field.pByte, 1);
    case EStoredForm::Word:
      abNumber[0] = static_cast<unsigned char>(*field.pWord);
      abNumber[1] = static_cast<unsigned char>(*field.pWord >> 8);
      return WriteStoredBytes(key, field.szName, abNumber, 2);
    case EStoredForm::RawNumber:
      NumberToValueData(static_cast<std::uint32_t>(*field.pNumber), abNumber);
      return key.SetValue(field.szName, STORE_REG_SZ, abNumber, sizeof(abNumber));
    case EStoredForm::Time: {
      unsigned char abTime[LOCAL_TIME_BYTES];
      StoreLocalTime(*field.pTime, abTime);
      return WriteStoredBytes(key, field.szName, abTime, sizeof(abTime));
    }
  }
  return CResult(RESULT_INVALID_PARAMETER);
}
