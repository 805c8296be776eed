// Whatever the product key holds below "MailSafe", "WebSiteBlocking" and
// "AlertandLog": the lists and the alert log read it without harm, and what they
// then write reads back to the same objects. A backup of it keeps every line on
// one line.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "console/settings/AlertLog.h"
#include "console/settings/PermissionLists.h"
#include "console/settings/store/RegistryExport.h"
#include "fuzz/MemoryStoreKey.h"

namespace {

const char* const KEY_PATHS[] = {
    "MailSafe",
    "MailSafe\\MailSafeItem0",
    "MailSafe\\MailSafeItem1",
    "MailSafe\\MailSafeItem3",
    "WebSiteBlocking",
    "WebSiteBlocking\\WebSiteBlockingItem0",
    "WebSiteBlocking\\WebSiteBlockingItem2",
    "AlertandLog",
    "AlertandLog\\LogEntryDetails0",
    "AlertandLog\\LogEntryDetails1",
    "AlertandLog\\EventAlert0",
    "AlertandLog\\EventAlert1",
};

const char* const VALUE_NAMES[] = {
    "MailSafeItems No",
    "MailSafeProtectionState",
    "MailSafePermession",
    "WebSiteBlockingItems No",
    "WebSiteBlockingProtectionState",
    "WebSiteBlockingPermession",
    "Action",
    "StrictedData",
    "Type",
    "Program",
    "DataTime",
    "AttachmentFile",
    "Port",
    "From",
    "To",
    "Subject",
    "ScamSite",
    "IPAddress",
    "AlertLogEntryDetailsListNo",
    "Rating",
    "DateTime",
    "Protocol",
    "HostIP",
    "ActionTaken",
    "Count",
    "ShowAlert",
    "LogFilePath",
    "AlertEventsLevel",
    "ArchiveLogPeriodicDays",
    "NoAlertView",
    "ArchiveLogFile",
    "ArchiveLogFileStartTime",
};

SMemoryKeyNode* NodeAt(SMemoryKeyNode* pRoot, const std::string& strPath) {
  SMemoryKeyNode* pNode = pRoot;
  std::size_t nStart = 0;
  for (;;) {
    const std::size_t nSlash = strPath.find('\\', nStart);
    pNode = &pNode->subKeys[CMemoryStoreKey::FoldedName(strPath.substr(nStart, nSlash - nStart))];
    if (nSlash == std::string::npos) return pNode;
    nStart = nSlash + 1;
  }
}

struct SObjects {
  CMailSafeList mail;
  CWebSiteBlockingList web;
  CAlertLogSettings log{"C:\\App"};

  void Read(IStoreKey& key) {
    mail.ReadFromKey(key);
    web.ReadFromKey(key);
    log.ReadFromKey(key);
  }
  void Write(IStoreKey& key) const {
    // A key in memory refuses nothing.
    if (!mail.WriteToKey(key).IsOk() || !web.WriteToKey(key).IsOk() || !log.WriteToKey(key).IsOk()) std::abort();
  }
};

// A line end inside a line would let the registry editor read a value's rest as
// a line of its own.
class CSingleLines : public IExportLines {
 public:
  CResult WriteLine(const std::string& strLine) override {
    if (strLine.find_first_of("\r\n") != std::string::npos) std::abort();
    return CResult();
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t cbData) {
  // Records of: key byte, value byte, type byte, length byte, data.
  SMemoryKeyNode stored;
  std::size_t i = 0;
  while (i + 4 <= cbData) {
    const char* szPath = KEY_PATHS[pData[i] % (sizeof(KEY_PATHS) / sizeof(KEY_PATHS[0]))];
    const char* szValue = VALUE_NAMES[pData[i + 1] % (sizeof(VALUE_NAMES) / sizeof(VALUE_NAMES[0]))];
    const std::uint32_t dwType = pData[i + 2] & 1 ? STORE_REG_SZ : STORE_REG_BINARY;
    std::size_t cbValue = pData[i + 3];
    i += 4;
    if (cbValue > cbData - i) cbValue = cbData - i;
    static_cast<void>(CMemoryStoreKey(NodeAt(&stored, szPath))
                          .SetValue(szValue, dwType, reinterpret_cast<const char*>(pData + i), cbValue));
    i += cbValue;
  }

  CMemoryStoreKey storedKey(&stored);
  CSingleLines lines;
  static_cast<void>(ExportRegistryTree(&storedKey, "HKEY_CURRENT_USER\\Software\\Corvinth\\Hookwarden", lines));
  SObjects first;
  first.Read(storedKey);
  SMemoryKeyNode written;
  CMemoryStoreKey writtenKey(&written);
  first.Write(writtenKey);

  SObjects second;
  second.Read(writtenKey);
  SMemoryKeyNode rewritten;
  CMemoryStoreKey rewrittenKey(&rewritten);
  second.Write(rewrittenKey);
  if (CMemoryStoreKey::Dump(written) != CMemoryStoreKey::Dump(rewritten)) std::abort();
  return 0;
}
