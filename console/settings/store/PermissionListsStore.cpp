// Registry form of the permission lists, below the product key:
//   "MailSafe"        "MailSafeItem%d" subkeys, "MailSafeItems No",
//                     "MailSafeProtectionState", "MailSafePermession"
//   "WebSiteBlocking" the same with "WebSiteBlocking..." names.
// Entry subkeys are numbered 0 to count - 1 in list order when written; on reading
// a missing number is skipped, so gaps close up. Writing stops at the first value
// the registry refuses and returns its result, so that the save can keep the
// settings it had before.
#include <memory>

#include "console/settings/PermissionLists.h"
#include "console/settings/store/StoreKey.h"
#include "console/settings/store/StoredFields.h"

namespace {

struct SListNames {
  const char* szKey;
  const char* szItemPrefix;
  const char* szCount;
  const char* szProtectionState;
  const char* szPermission;
};

const SListNames MAIL_NAMES = {"MailSafe", "MailSafeItem", "MailSafeItems No", "MailSafeProtectionState",
                               "MailSafePermession"};
const SListNames WEB_NAMES = {"WebSiteBlocking", "WebSiteBlockingItem", "WebSiteBlockingItems No",
                              "WebSiteBlockingProtectionState", "WebSiteBlockingPermession"};

// The mail port is stored as its four raw bytes under the text type, the web port
// as decimal text.
using CMail = CMailSafeItem;
const SStoredField<CMail> kMailItemFields[] = {
    StoredNumber("Action", &CMail::nAction, EStoredForm::Flag),
    StoredText("StrictedData", &CMail::strStrictedData),
    StoredKind("Type", &CMail::kind),
    StoredText("Program", &CMail::strProgram),
    StoredText("DataTime", &CMail::strDataTime),
    StoredText("AttachmentFile", &CMail::strAttachmentFile),
    StoredNumber("Port", &CMail::nPort, EStoredForm::RawNumber),
    StoredText("From", &CMail::strFrom),
    StoredText("To", &CMail::strTo),
    StoredText("Subject", &CMail::strSubject),
};

using CWeb = CWebSiteItem;
const SStoredField<CWeb> kWebItemFields[] = {
    StoredNumber("Action", &CWeb::nAction, EStoredForm::Flag),
    StoredText("ScamSite", &CWeb::strScamSite),
    StoredText("Program", &CWeb::strProgram),
    StoredText("DataTime", &CWeb::strDataTime),
    StoredText("IPAddress", &CWeb::strIPAddress),
    StoredText("StrictedData", &CWeb::strStrictedData, EStoredForm::TextOrEmpty),
    StoredKind("Type", &CWeb::kind),
    StoredNumber("Port", &CWeb::nPort, EStoredForm::DecimalText),
};

const auto& ItemFields(const CMailSafeItem*) {
  return kMailItemFields;
}
const auto& ItemFields(const CWebSiteItem*) {
  return kWebItemFields;
}

template <class TList>
CResult WriteList(IStoreKey& productKey, const SListNames& names, const TList& list) {
  std::unique_ptr<IStoreKey> listKey;
  CResult result = productKey.CreateKey(names.szKey, &listKey);
  for (int i = 0; result.IsOk() && i < list.GetCount(); ++i) {
    std::unique_ptr<IStoreKey> itemKey;
    result = listKey->CreateKey(NumberedName(names.szItemPrefix, i).c_str(), &itemKey);
    if (result.IsOk()) result = WriteStoredFields(*itemKey, ItemFields(list.EntryAt(i)), *list.EntryAt(i));
  }
  if (result.IsOk()) result = WriteStoredNumber(*listKey, names.szCount, list.GetCount());
  if (result.IsOk()) result = WriteStoredNumber(*listKey, names.szProtectionState, list.GetProtectionState());
  if (result.IsOk()) result = WriteStoredNumber(*listKey, names.szPermission, list.GetPermission());
  return result;
}

template <class TItem, class TList>
void ReadList(IStoreKey& productKey, const SListNames& names, TList* pList) {
  std::unique_ptr<IStoreKey> listKey = productKey.OpenSubKey(names.szKey);
  if (!listKey) return;  // defaults and current entries stay
  pList->RemoveAll();
  std::int32_t nCount = 0;
  ReadStoredCopied(*listKey, names.szCount, &nCount);
  // Entries keep their stored order; missing numbers are skipped.
  for (int i : NumberedSubKeys(*listKey, names.szItemPrefix, nCount)) {
    std::unique_ptr<IStoreKey> itemKey = listKey->OpenSubKey(NumberedName(names.szItemPrefix, i).c_str());
    if (!itemKey) continue;
    TItem item;
    ReadStoredFields(*itemKey, ItemFields(&item), &item);
    pList->AppendEntry(item);
  }
  std::int32_t nValue = pList->GetProtectionState();
  if (ReadStoredLowByte(*listKey, names.szProtectionState, &nValue)) pList->SetProtectionState(nValue);
  nValue = pList->GetPermission();
  if (ReadStoredLowByte(*listKey, names.szPermission, &nValue)) pList->SetPermission(nValue);
}

}  // namespace

CResult CMailSafeList::WriteToKey(IStoreKey& productKey) const {
  return WriteList(productKey, MAIL_NAMES, *this);
}
void CMailSafeList::ReadFromKey(IStoreKey& productKey) {
  ReadList<CMailSafeItem>(productKey, MAIL_NAMES, this);
}
CResult CWebSiteBlockingList::WriteToKey(IStoreKey& productKey) const {
  return WriteList(productKey, WEB_NAMES, *this);
}
void CWebSiteBlockingList::ReadFromKey(IStoreKey& productKey) {
  ReadList<CWebSiteItem>(productKey, WEB_NAMES, this);
}
