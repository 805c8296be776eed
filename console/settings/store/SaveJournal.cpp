#include "console/settings/store/SaveJournal.h"

#include <algorithm>
#include <memory>
#include <string>

namespace {

// The encoded changes go into values of this size at most; the mark holds their number.
constexpr std::size_t kPartBytes = 512 * 1024;
constexpr const char* kPartPrefix = "Part";
constexpr const char* kMarkName = "Parts";

CResult WriteJournal(IStoreKey& company, const std::vector<SStoreChange>& changes) {
  std::unique_ptr<IStoreKey> pJournal;
  CResult result = company.CreateKey(kJournalKeyName, &pJournal);
  if (!result.IsOk()) return result;
  const std::string strBytes = EncodeStoreChanges(changes);
  std::int32_t nParts = 0;
  for (std::size_t nStart = 0; nStart < strBytes.size(); nStart += kPartBytes, ++nParts) {
    const std::size_t cbPart = std::min(kPartBytes, strBytes.size() - nStart);
    result = pJournal->SetValue(NumberedName(kPartPrefix, nParts).c_str(), STORE_REG_BINARY, strBytes.data() + nStart,
                                cbPart);
    if (!result.IsOk()) return result;
  }
  // The mark: from here on the changes count.
  unsigned char abParts[4];
  for (int i = 0; i < 4; ++i) abParts[i] = static_cast<unsigned char>(static_cast<std::uint32_t>(nParts) >> (8 * i));
  return pJournal->SetValue(kMarkName, STORE_REG_BINARY, abParts, sizeof(abParts));
}

// The changes of a complete journal; false when it is not complete or damaged.
bool ReadJournal(IStoreKey& journal, std::vector<SStoreChange>* pChanges) {
  std::int32_t nParts = -1;
  if (!ReadStoredCopied(journal, kMarkName, &nParts) || nParts < 0) return false;
  std::string strBytes;
  for (std::int32_t i = 0; i < nParts; ++i) {
    std::string strPart;
    if (!journal.ReadValue(NumberedName(kPartPrefix, i).c_str(), &strPart)) return false;
    strBytes += strPart;
  }
  return DecodeStoreChanges(strBytes, pChanges);
}

CResult ApplyToProductKey(IStoreKey& company, const char* szProductKey, const std::vector<SStoreChange>& changes) {
  std::unique_ptr<IStoreKey> pProduct;
  const CResult result = company.CreateKey(szProductKey, &pProduct);
  if (!result.IsOk()) return result;
  return ApplyStoreChanges(*pProduct, changes, true);
}

}  // namespace

bool ReadMarkedJournal(IStoreKey& company, std::vector<SStoreChange>* pChanges) {
  const std::unique_ptr<IStoreKey> pJournal = company.OpenSubKey(kJournalKeyName);
  return pJournal && ReadJournal(*pJournal, pChanges);
}

CResult DropJournal(IStoreKey& company) {
  const CResult result = company.RemoveSubKey(kJournalKeyName);
  return result.Code() == RESULT_FILE_NOT_FOUND ? CResult() : result;
}

CResult FinishJournal(IStoreKey& company, const char* szProductKey, bool* pbChanged) {
  *pbChanged = false;
  std::vector<SStoreChange> changes;
  {
    const std::unique_ptr<IStoreKey> pJournal = company.OpenSubKey(kJournalKeyName);
    if (!pJournal) return CResult();
    if (!ReadJournal(*pJournal, &changes)) return DropJournal(company);
  }
  *pbChanged = true;
  const CResult result = ApplyToProductKey(company, szProductKey, changes);
  return !result.IsOk() ? result : DropJournal(company);
}

CResult SaveThroughJournal(IStoreKey& company, const char* szProductKey, const std::vector<SStoreChange>& changes,
                           bool* pbComplete) {
  *pbComplete = false;
  CResult result = WriteJournal(company, changes);
  if (!result.IsOk()) {
    // Without its mark the journal never counts; the next start drops what is left.
    static_cast<void>(DropJournal(company));
    return result;
  }
  *pbComplete = true;
  result = ApplyToProductKey(company, szProductKey, changes);
  if (!result.IsOk()) return result;
  return DropJournal(company);
}

CResult SaveStoreChanges(IStoreKey& company, const char* szProductKey, SStoredKey* pStored,
                         const std::function<void(IStoreKey&)>& write, const std::vector<SStoreChange>& kept) {
  std::vector<SStoreChange> changes;
  {
    CChangeCollector collector(*pStored);
    write(collector.ProductKey());
    changes = collector.TakeChanges();
  }
  DropKeptAsStored(*pStored, kept, &changes);
  if (changes.empty()) return CResult();
  bool bComplete = false;
  const CResult result = SaveThroughJournal(company, szProductKey, changes, &bComplete);
  if (bComplete) {
    CStoredTreeKey stored(pStored);
    static_cast<void>(ApplyStoreChanges(stored, changes));  // the tree takes every change
  }
  return result;
}
