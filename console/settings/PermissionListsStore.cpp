// Registry form of the permission lists, below the product key:
//   "MailSafe"        "MailSafeItem%d" subkeys, "MailSafeItems No",
//                     "MailSafeProtectionState", "MailSafePermession"
//   "WebSiteBlocking" the same with "WebSiteBlocking..." names.
// Entry subkeys are numbered 0 to count - 1 in list order when written; on reading
// a missing number is skipped, so gaps close up.
#include <memory>

#include "console/settings/DecimalText.h"
#include "console/settings/PermissionLists.h"
#include "console/settings/StoreKey.h"

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

void WriteItem(IStoreKey& key, const CMailSafeItem& item) {
  WriteNumberValue(key, "Action", item.nAction);
  WriteTextValue(key, "StrictedData", item.strStrictedData);
  WriteTextValue(key, "Type", item.strType);
  WriteTextValue(key, "Program", item.strProgram);
  WriteTextValue(key, "DataTime", item.strDataTime);
  WriteTextValue(key, "AttachmentFile", item.strAttachmentFile);
  // The mail port is stored as its four raw bytes under the text type.
  unsigned char abPort[4];
  StoreLittleEndian32(item.nPort, abPort);
  key.WriteValue("Port", STORE_REG_SZ, abPort, sizeof(abPort));
  WriteTextValue(key, "From", item.strFrom);
  WriteTextValue(key, "To", item.strTo);
  WriteTextValue(key, "Subject", item.strSubject);
}

void ReadItem(IStoreKey& key, CMailSafeItem* pItem) {
  ReadLowByteValue(key, "Action", &pItem->nAction);
  ReadTextValue(key, "StrictedData", &pItem->strStrictedData);
  ReadTextValue(key, "Type", &pItem->strType);
  ReadTextValue(key, "Program", &pItem->strProgram);
  ReadTextValue(key, "DataTime", &pItem->strDataTime);
  ReadTextValue(key, "AttachmentFile", &pItem->strAttachmentFile);
  ReadCopiedValue(key, "Port", &pItem->nPort);
  ReadTextValue(key, "From", &pItem->strFrom);
  ReadTextValue(key, "To", &pItem->strTo);
  ReadTextValue(key, "Subject", &pItem->strSubject);
}

void WriteItem(IStoreKey& key, const CWebSiteItem& item) {
  WriteNumberValue(key, "Action", item.nAction);
  WriteTextValue(key, "ScamSite", item.strScamSite);
  WriteTextValue(key, "Program", item.strProgram);
  WriteTextValue(key, "DataTime", item.strDataTime);
  WriteTextValue(key, "IPAddress", item.strIPAddress);
  WriteTextValue(key, "StrictedData", item.strStrictedData);
  WriteTextValue(key, "Type", item.strType);
  // The web port is stored as decimal text.
  WriteTextValue(key, "Port", DecimalText(item.nPort));
}

void ReadItem(IStoreKey& key, CWebSiteItem* pItem) {
  ReadLowByteValue(key, "Action", &pItem->nAction);
  ReadTextValue(key, "ScamSite", &pItem->strScamSite);
  ReadTextValue(key, "Program", &pItem->strProgram);
  ReadTextValue(key, "DataTime", &pItem->strDataTime);
  ReadTextValue(key, "IPAddress", &pItem->strIPAddress);
  ReadTextValue(key, "StrictedData", &pItem->strStrictedData, true);
  ReadTextValue(key, "Type", &pItem->strType, true);
  std::string strPort;
  if (ReadTextValue(key, "Port", &strPort, true)) pItem->nPort = DecimalValue(strPort.c_str());
}

template <class TList>
void WriteList(IStoreKey& productKey, const SListNames& names, const TList& list) {
  std::unique_ptr<IStoreKey> listKey = productKey.CreateSubKey(names.szKey);
  if (!listKey) return;
  for (int i = 0; i < list.GetCount(); ++i) {
    // An entry whose subkey cannot be made is skipped; its number stays used.
    std::unique_ptr<IStoreKey> itemKey = listKey->CreateSubKey(NumberedName(names.szItemPrefix, i).c_str());
    if (itemKey) WriteItem(*itemKey, *list.EntryAt(i));
  }
  WriteNumberValue(*listKey, names.szCount, list.GetCount());
  WriteNumberValue(*listKey, names.szProtectionState, list.GetProtectionState());
  WriteNumberValue(*listKey, names.szPermission, list.GetPermission());
}

template <class TItem, class TList>
void ReadList(IStoreKey& productKey, const SListNames& names, TList* pList) {
  std::unique_ptr<IStoreKey> listKey = productKey.OpenSubKey(names.szKey);
  if (!listKey) return;  // defaults and current entries stay
  pList->RemoveAll();
  std::int32_t nCount = 0;
  ReadCopiedValue(*listKey, names.szCount, &nCount);
  // Entries keep their stored order; missing numbers are skipped.
  for (int i : NumberedSubKeys(*listKey, names.szItemPrefix, nCount)) {
    std::unique_ptr<IStoreKey> itemKey = listKey->OpenSubKey(NumberedName(names.szItemPrefix, i).c_str());
    if (!itemKey) continue;
    TItem item;
    ReadItem(*itemKey, &item);
    pList->AppendEntry(item);
  }
  std::int32_t nValue = pList->GetProtectionState();
  if (ReadLowByteValue(*listKey, names.szProtectionState, &nValue)) pList->SetProtectionState(nValue);
  nValue = pList->GetPermission();
  if (ReadLowByteValue(*listKey, names.szPermission, &nValue)) pList->SetPermission(nValue);
}

}  // namespace

void CMailSafeList::WriteToKey(IStoreKey& productKey) const {
  WriteList(productKey, MAIL_NAMES, *this);
}
void CMailSafeList::ReadFromKey(IStoreKey& productKey) {
  ReadList<CMailSafeItem>(productKey, MAIL_NAMES, this);
}
void CWebSiteBlockingList::WriteToKey(IStoreKey& productKey) const {
  WriteList(productKey, WEB_NAMES, *this);
}
void CWebSiteBlockingList::ReadFromKey(IStoreKey& productKey) {
  ReadList<CWebSiteItem>(productKey, WEB_NAMES, this);
}
