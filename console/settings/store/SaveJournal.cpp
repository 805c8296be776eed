#include "console/settings/store/SaveJournal.h"

#include <algorithm>
#include <memory>
#include <string>

namespace {

// The encoded changes go into values of this size at most; the mark holds their number.
constexpr std::size_t kPartBytes = 512 * 1024;
constexpr const char* kPartPrefix = "Part";
constexpr const char* kMarkName = "Parts";

StoreResult WriteJournal(IStoreKey& company, const std::vector<SStoreChange>& changes) {
  std::unique_ptr<IStoreKey> pJournal;
  StoreResult nResult = company.CreateKey(kJournalKeyName, &pJournal);
  if (nResult != STORE_SUCCESS) return nResult;
  const std::string strBytes = EncodeStoreChanges(changes);
  std::int32_t nParts = 0;
  for (std::size_t nStart = 0; nStart < strBytes.size(); nStart += kPartBytes, ++nParts) {
    const std::size_t cbPart = std::min(kPartBytes, strBytes.size() - nStart);
    nResult = pJournal->SetValue(NumberedName(kPartPrefix, nParts).c_str(), STORE_REG_BINARY, strBytes.data() + nStart,
                                 cbPart);
    if (nResult != STORE_SUCCESS) return nResult;
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

StoreResult ApplyToProductKey(IStoreKey& company, const char* szProductKey, const std::vector<SStoreChange>& changes) {
  std::unique_ptr<IStoreKey> pProduct;
  const StoreResult nResult = company.CreateKey(szProductKey, &pProduct);
  if (nResult != STORE_SUCCESS) return nResult;
  return ApplyStoreChanges(*pProduct, changes, true);
}

}  // namespace

bool ReadMarkedJournal(IStoreKey& company, std::vector<SStoreChange>* pChanges) {
  const std::unique_ptr<IStoreKey> pJournal = company.OpenSubKey(kJournalKeyName);
  return pJournal && ReadJournal(*pJournal, pChanges);
}

StoreResult DropJournal(IStoreKey& company) {
  const StoreResult nResult = company.RemoveSubKey(kJournalKeyName);
  return nResult == STORE_FILE_NOT_FOUND ? STORE_SUCCESS : nResult;
}

StoreResult FinishJournal(IStoreKey& company, const char* szProductKey, bool* pbChanged) {
  *pbChanged = false;
  std::vector<SStoreChange> changes;
  {
    const std::unique_ptr<IStoreKey> pJournal = company.OpenSubKey(kJournalKeyName);
    if (!pJournal) return STORE_SUCCESS;
    if (!ReadJournal(*pJournal, &changes)) return DropJournal(company);
  }
  *pbChanged = true;
  const StoreResult nResult = ApplyToProductKey(company, szProductKey, changes);
  return nResult != STORE_SUCCESS ? nResult : DropJournal(company);
}

StoreResult SaveThroughJournal(IStoreKey& company, const char* szProductKey, const std::vector<SStoreChange>& changes,
                               bool* pbComplete) {
  *pbComplete = false;
  StoreResult nResult = WriteJournal(company, changes);
  if (nResult != STORE_SUCCESS) {
    // Without its mark the journal never counts; the next start drops what is left.
    DropJournal(company);
    return nResult;
  }
  *pbComplete = true;
  nResult = ApplyToProductKey(company, szProductKey, changes);
  if (nResult != STORE_SUCCESS) return nResult;
  return DropJournal(company);
}

StoreResult SaveStoreChanges(IStoreKey& company, const char* szProductKey, SStoredKey* pStored,
                             const std::function<void(IStoreKey&)>& write, const std::vector<SStoreChange>& kept) {
  std::vector<SStoreChange> changes;
  {
    CChangeCollector collector(*pStored);
    write(collector.ProductKey());
    changes = collector.TakeChanges();
  }
  DropKeptAsStored(*pStored, kept, &changes);
  if (changes.empty()) return STORE_SUCCESS;
  bool bComplete = false;
  const StoreResult nResult = SaveThroughJournal(company, szProductKey, changes, &bComplete);
  if (bComplete) {
    CStoredTreeKey stored(pStored);
    ApplyStoreChanges(stored, changes);
  }
  return nResult;
}
