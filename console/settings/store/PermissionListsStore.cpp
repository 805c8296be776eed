// Registry form of the permission lists, below the product key:
//   "MailSafe"        "MailSafeItem%d" subkeys, "MailSafeItems No",
//                     "MailSafeProtectionState", "MailSafePermession"
//   "WebSiteBlocking" the same with "WebSiteBlocking..." names.
// Entry subkeys are numbered 0 to count - 1 in list order when written; on reading
// a missing number is skipped, so gaps close up. Writing stops at the first value
// the registry refuses and reports it, so that the save can keep the settings it
// had before.
#include <memory>

#include "console/settings/DecimalText.h"
#include "console/settings/PermissionLists.h"
#include "console/settings/store/RegistryValueData.h"
#include "console/settings/store/StoreKey.h"

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

bool WriteItem(IStoreKey& key, const CMailSafeItem& item) {
  // The mail port is stored as its four raw bytes under the text type.
  unsigned char abPort[4];
  NumberToValueData(static_cast<std::uint32_t>(item.nPort), abPort);
  return WriteStoredNumber(key, "Action", item.nAction) && WriteStoredText(key, "StrictedData", item.strStrictedData) &&
         WriteStoredText(key, "Type", item.strType) && WriteStoredText(key, "Program", item.strProgram) &&
         WriteStoredText(key, "DataTime", item.strDataTime) &&
         WriteStoredText(key, "AttachmentFile", item.strAttachmentFile) &&
         key.WriteValue("Port", STORE_REG_SZ, abPort, sizeof(abPort)) && WriteStoredText(key, "From", item.strFrom) &&
         WriteStoredText(key, "To", item.strTo) && WriteStoredText(key, "Subject", item.strSubject);
}

void ReadItem(IStoreKey& key, CMailSafeItem* pItem) {
  ReadStoredLowByte(key, "Action", &pItem->nAction);
  ReadStoredText(key, "StrictedData", &pItem->strStrictedData);
  ReadStoredText(key, "Type", &pItem->strType);
  ReadStoredText(key, "Program", &pItem->strProgram);
  ReadStoredText(key, "DataTime", &pItem->strDataTime);
  ReadStoredText(key, "AttachmentFile", &pItem->strAttachmentFile);
  ReadStoredCopied(key, "Port", &pItem->nPort);
  ReadStoredText(key, "From", &pItem->strFrom);
  ReadStoredText(key, "To", &pItem->strTo);
  ReadStoredText(key, "Subject", &pItem->strSubject);
}

bool WriteItem(IStoreKey& key, const CWebSiteItem& item) {
  // The web port is stored as decimal text.
  return WriteStoredNumber(key, "Action", item.nAction) && WriteStoredText(key, "ScamSite", item.strScamSite) &&
         WriteStoredText(key, "Program", item.strProgram) && WriteStoredText(key, "DataTime", item.strDataTime) &&
         WriteStoredText(key, "IPAddress", item.strIPAddress) &&
         WriteStoredText(key, "StrictedData", item.strStrictedData) && WriteStoredText(key, "Type", item.strType) &&
         WriteStoredText(key, "Port", DecimalText(item.nPort));
}

void ReadItem(IStoreKey& key, CWebSiteItem* pItem) {
  ReadStoredLowByte(key, "Action", &pItem->nAction);
  ReadStoredText(key, "ScamSite", &pItem->strScamSite);
  ReadStoredText(key, "Program", &pItem->strProgram);
  ReadStoredText(key, "DataTime", &pItem->strDataTime);
  ReadStoredText(key, "IPAddress", &pItem->strIPAddress);
  ReadStoredText(key, "StrictedData", &pItem->strStrictedData, true);
  ReadStoredText(key, "Type", &pItem->strType, true);
  std::string strPort;
  if (ReadStoredText(key, "Port", &strPort, true)) pItem->nPort = DecimalValue(strPort.c_str());
}

template <class TList>
bool WriteList(IStoreKey& productKey, const SListNames& names, const TList& list) {
  std::unique_ptr<IStoreKey> listKey = productKey.CreateSubKey(names.szKey);
  if (!listKey) return false;
  for (int i = 0; i < list.GetCount(); ++i) {
    std::unique_ptr<IStoreKey> itemKey = listKey->CreateSubKey(NumberedName(names.szItemPrefix, i).c_str());
    if (!itemKey || !WriteItem(*itemKey, *list.EntryAt(i))) return false;
  }
  return WriteStoredNumber(*listKey, names.szCount, list.GetCount()) &&
         WriteStoredNumber(*listKey, names.szProtectionState, list.GetProtectionState()) &&
         WriteStoredNumber(*listKey, names.szPermission, list.GetPermission());
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
    ReadItem(*itemKey, &item);
    pList->AppendEntry(item);
  }
  std::int32_t nValue = pList->GetProtectionState();
  if (ReadStoredLowByte(*listKey, names.szProtectionState, &nValue)) pList->SetProtectionState(nValue);
  nValue = pList->GetPermission();
  if (ReadStoredLowByte(*listKey, names.szPermission, &nValue)) pList->SetPermission(nValue);
}

}  // namespace

bool CMailSafeList::WriteToKey(IStoreKey& productKey) const {
  return WriteList(productKey, MAIL_NAMES, *this);
}
void CMailSafeList::ReadFromKey(IStoreKey& productKey) {
  ReadList<CMailSafeItem>(productKey, MAIL_NAMES, this);
}
bool CWebSiteBlockingList::WriteToKey(IStoreKey& productKey) const {
  return WriteList(productKey, WEB_NAMES, *this);
}
void CWebSiteBlockingList::ReadFromKey(IStoreKey& productKey) {
  ReadList<CWebSiteItem>(productKey, WEB_NAMES, this);
}
