// The save's change detection and its journal, on key trees in memory: what a
// save finds to change, that applying it gives what a full write gives, and how
// the next start finishes or drops a journal.
#include <gtest/gtest.h>

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "console/settings/PermissionLists.h"
#include "console/settings/store/SaveJournal.h"
#include "console/settings/store/StoreChanges.h"
#include "console/settings/store/StoredTree.h"
#include "settings/FaultyStoreKey.h"

namespace {

// The whole tree as one text, for comparing trees.
std::string Dump(const SStoredKey& key) {
  std::string str;
  for (const SStoredKey::SValue& value : key.values)
    str += value.strName + "=" + std::to_string(value.dwType) + ":" + value.strData + ";";
  for (const auto& subKey : key.subKeys) str += "[" + subKey.first + "]{" + Dump(subKey.second) + "}";
  return str;
}

SStoredKey FullWrite(const CWebSiteBlockingList& list) {
  SStoredKey tree;
  CStoredTreeKey key(&tree);
  static_cast<void>(list.WriteToKey(key));
  return tree;
}

std::vector<SStoreChange> ChangesFor(SStoredKey& stored, const CWebSiteBlockingList& list) {
  CChangeCollector collector(stored);
  static_cast<void>(list.WriteToKey(collector.ProductKey()));
  return collector.TakeChanges();
}

std::string Describe(const std::vector<SStoreChange>& changes) {
  std::string str;
  for (const SStoreChange& change : changes)
    str += std::to_string(static_cast<int>(change.eKind)) + " " + change.strPath + " " + change.strName + "\n";
  return str;
}

// A tree key that several threads may use at once: every call holds one lock.
class CLockedKey : public IStoreKey {
  template <typename F>
  auto Locked(F f) {
    std::lock_guard<std::mutex> lock(m_mutex);
    return f();
  }

 public:
  CLockedKey(std::mutex& mutex, std::unique_ptr<IStoreKey> pKey) : m_mutex(mutex), m_pKey(std::move(pKey)) {}
  std::unique_ptr<IStoreKey> OpenSubKey(const char* szName) override {
    std::lock_guard<std::mutex> lock(m_mutex);
    std::unique_ptr<IStoreKey> pSub = m_pKey->OpenSubKey(szName);
    return pSub ? std::make_unique<CLockedKey>(m_mutex, std::move(pSub)) : nullptr;
  }
  CResult CreateKey(const char* szName, std::unique_ptr<IStoreKey>* ppKey) override {
    std::lock_guard<std::mutex> lock(m_mutex);
    std::unique_ptr<IStoreKey> pSub;
    const CResult result = m_pKey->CreateKey(szName, &pSub);
    if (pSub) *ppKey = std::make_unique<CLockedKey>(m_mutex, std::move(pSub));
    return result;
  }
  std::vector<std::string> SubKeyNames() override {
    return Locked([&] { return m_pKey->SubKeyNames(); });
  }
  std::vector<std::string> ValueNames() override {
    return Locked([&] { return m_pKey->ValueNames(); });
  }
  bool ReadValue(const char* szName, std::string* pData) override {
    return Locked([&] { return m_pKey->ReadValue(szName, pData); });
  }
  bool ReadTypedValue(const char* szName, std::uint32_t* pType, std::string* pData) override {
    return Locked([&] { return m_pKey->ReadTypedValue(szName, pType, pData); });
  }
  CResult SetValue(const char* szName, std::uint32_t dwType, const void* pData, std::size_t cbData) override {
    return Locked([&] { return m_pKey->SetValue(szName, dwType, pData, cbData); });
  }
  CResult RemoveValue(const char* szName) override {
    return Locked([&] { return m_pKey->RemoveValue(szName); });
  }
  CResult RemoveSubKey(const char* szName) override {
    return Locked([&] { return m_pKey->RemoveSubKey(szName); });
  }

 private:
  std::mutex& m_mutex;
  std::unique_ptr<IStoreKey> m_pKey;
};

CWebSiteItem Site(const std::string& strUrl) {
  CWebSiteItem item;
  item.kind = EEntryKind::Url;
  item.strStrictedData = strUrl;
  item.strScamSite = strUrl;
  item.strProgram = "iexplore.exe";
  item.nPort = 80;
  return item;
}

TEST(StoreChanges, OnlyWhatDiffersIsChangedAndApplyingGivesTheFullWrite) {
  CWebSiteBlockingList list;
  for (const char* szUrl : {"http://a.example/", "http://b.example/", "http://c.example/"})
    list.AppendEntry(Site(szUrl));
  SStoredKey stored = FullWrite(list);
  EXPECT_TRUE(ChangesFor(stored, list).empty());

  // A stray value, a text stored with its terminator, an action changed, an
  // entry appended: the stray goes, the terminator counts as the same text.
  static_cast<void>(CStoredTreeKey(&stored.subKeys["WebSiteBlocking"]).SetValue("Stray", STORE_REG_SZ, "x", 1));
  CStoredTreeKey item0(&stored.subKeys["WebSiteBlocking"].subKeys["WebSiteBlockingItem0"]);
  static_cast<void>(item0.SetValue("Program", STORE_REG_SZ, "iexplore.exe", 13));
  list.SetAction(1, PERMISSION_BLOCK);
  list.AppendEntry(Site("http://d.example/"));
  std::vector<SStoreChange> changes = ChangesFor(stored, list);
  EXPECT_EQ(
      "2 WebSiteBlocking\\WebSiteBlockingItem1 Action\n"
      "1 WebSiteBlocking WebSiteBlockingItem3\n"
      "2 WebSiteBlocking\\WebSiteBlockingItem3 Action\n"
      "2 WebSiteBlocking\\WebSiteBlockingItem3 ScamSite\n"
      "2 WebSiteBlocking\\WebSiteBlockingItem3 Program\n"
      "2 WebSiteBlocking\\WebSiteBlockingItem3 DataTime\n"
      "2 WebSiteBlocking\\WebSiteBlockingItem3 IPAddress\n"
      "2 WebSiteBlocking\\WebSiteBlockingItem3 StrictedData\n"
      "2 WebSiteBlocking\\WebSiteBlockingItem3 Type\n"
      "2 WebSiteBlocking\\WebSiteBlockingItem3 Port\n"
      "2 WebSiteBlocking WebSiteBlockingItems No\n"
      "3 WebSiteBlocking Stray\n",
      Describe(changes));
  CStoredTreeKey storedKey(&stored);
  ASSERT_EQ(RESULT_SUCCESS, ApplyStoreChanges(storedKey, changes).Code());
  // Applying twice changes nothing more.
  ASSERT_EQ(RESULT_SUCCESS, ApplyStoreChanges(storedKey, changes).Code());
  static_cast<void>(item0.SetValue("Program", STORE_REG_SZ, "iexplore.exe", 12));
  EXPECT_EQ(Dump(FullWrite(list)), Dump(stored));

  // Removing the first entry moves the others down; the last subkey goes.
  list.RemoveEntry(0);
  changes = ChangesFor(stored, list);
  EXPECT_NE(std::string::npos, Describe(changes).find("4 WebSiteBlocking WebSiteBlockingItem3\n"));
  ASSERT_EQ(RESULT_SUCCESS, ApplyStoreChanges(storedKey, changes).Code());
  EXPECT_EQ(Dump(FullWrite(list)), Dump(stored));
  EXPECT_TRUE(ChangesFor(stored, list).empty());
}

TEST(StoreChanges, JournalRoundTripsAndRefusesDamage) {
  const std::vector<SStoreChange> changes = {
      {EStoreChange::CreateKey, "MailSafe", "MailSafeItem0", 0, ""},
      {EStoreChange::SetValue, "MailSafe\\MailSafeItem0", "Port", STORE_REG_SZ, std::string("\x50\0\0\0", 4)},
      {EStoreChange::RemoveValue, "", "Stray", 0, ""},
      {EStoreChange::RemoveKey, "AlertandLog", "LogEntryDetails7", 0, ""}};
  const std::string strBytes = EncodeStoreChanges(changes);
  std::vector<SStoreChange> decoded;
  ASSERT_TRUE(DecodeStoreChanges(strBytes, &decoded));
  EXPECT_EQ(Describe(changes), Describe(decoded));
  EXPECT_EQ(changes[1].strData, decoded[1].strData);
  EXPECT_FALSE(DecodeStoreChanges(strBytes.substr(0, strBytes.size() - 1), &decoded));
  // A key removal without a name would take the key above it.
  EXPECT_FALSE(DecodeStoreChanges(EncodeStoreChanges({{EStoreChange::RemoveKey, "MailSafe", "", 0, ""}}), &decoded));
  EXPECT_FALSE(DecodeStoreChanges(std::string(1, '\x09'), &decoded));
}

// A save stopped at each of its changes, then the next start: the product key holds
// the old or the new state, and once the mark is written, always the new one.
TEST(StoreChanges, NextStartFinishesAMarkedJournalAndDropsAnyOther) {
  CWebSiteBlockingList oldList, newList;
  oldList.AppendEntry(Site("http://a.example/"));
  oldList.AppendEntry(Site("http://b.example/"));
  newList.AppendEntry(Site("http://b.example/"));
  newList.SetAction(0, PERMISSION_BLOCK);
  const std::string strOld = Dump(FullWrite(oldList));
  const std::string strNew = Dump(FullWrite(newList));

  SChangeFault fault;
  bool bNewSeen = false;
  for (int nAllowed = 0;; ++nAllowed) {
    SCOPED_TRACE("stopped at change " + std::to_string(nAllowed));
    SStoredKey company;
    company.subKeys["Hookwarden"] = FullWrite(oldList);
    SStoredKey stored = company.subKeys["Hookwarden"];
    CStoredTreeKey companyKey(&company);
    CFaultyStoreKey faultyCompany(companyKey, fault);
    fault.Set(nAllowed, true);
    const CResult result = SaveStoreChanges(faultyCompany, "Hookwarden", &stored, [&](IStoreKey& product) {
      static_cast<void>(newList.WriteToKey(product));
    });
    const bool bDone = result.IsOk();
    EXPECT_TRUE(bDone || result.Code() == RESULT_ACCESS_DENIED);

    bool bChanged = false;
    ASSERT_EQ(RESULT_SUCCESS, FinishJournal(companyKey, "Hookwarden", &bChanged).Code());
    EXPECT_EQ(0u, company.subKeys.count(kJournalKeyName));
    const std::string strState = Dump(company.subKeys["Hookwarden"]);
    if (strState == strNew) {
      bNewSeen = true;
    } else {
      EXPECT_EQ(strOld, strState);
      EXPECT_FALSE(bNewSeen);
    }
    // What the save believes is stored is what the next start finds.
    EXPECT_EQ(strState, Dump(stored));
    if (bDone) {
      EXPECT_GT(nAllowed, 10);  // journal, mark, changes and clean-up each counted
      break;
    }
  }
  EXPECT_TRUE(bNewSeen);

  // A journal without its mark, or with damaged changes, is dropped unapplied.
  SStoredKey company;
  CStoredTreeKey companyKey(&company);
  std::unique_ptr<IStoreKey> pJournal;
  static_cast<void>(companyKey.CreateKey(kJournalKeyName, &pJournal));
  const std::string strChanges = EncodeStoreChanges({{EStoreChange::SetValue, "", "App Path", STORE_REG_SZ, "C:"}});
  static_cast<void>(pJournal->SetValue("Part0", STORE_REG_BINARY, strChanges.data(), strChanges.size() - 1));
  bool bChanged = true;
  EXPECT_EQ(RESULT_SUCCESS, FinishJournal(companyKey, "Hookwarden", &bChanged).Code());
  EXPECT_FALSE(bChanged);
  EXPECT_TRUE(company.subKeys.empty());
}

}  // namespace

// Lists of this size are read, and their many changes applied, by several threads.
TEST(StoreChanges, LargeTreesReadAndChangedTogetherAreTheSame) {
  CWebSiteBlockingList list;
  for (int i = 0; i < 2000; ++i) list.AppendEntry(Site("http://site" + std::to_string(i) + ".example/"));
  SStoredKey written = FullWrite(list);
  SStoredKey read;
  CStoredTreeKey source(&written);
  ReadStoreTree(source, &read);
  EXPECT_EQ(2000u, read.subKeys.begin()->second.subKeys.size());
  EXPECT_EQ(Dump(written), Dump(read));

  // Removing the first entry changes every entry and removes the last key.
  list.RemoveEntry(0);
  const std::vector<SStoreChange> changes = ChangesFor(read, list);
  ASSERT_GT(changes.size(), 3000u);
  std::mutex mutex;
  CLockedKey together(mutex, std::make_unique<CStoredTreeKey>(&read));
  ASSERT_EQ(RESULT_SUCCESS, ApplyStoreChanges(together, changes, true).Code());
  EXPECT_EQ(Dump(FullWrite(list)), Dump(read));
}

namespace {

// The changes that writing one text value into the tree's "Overview" key makes.
std::vector<SStoreChange> ChangesOfText(SStoredKey& tree, const std::string& strText) {
  CChangeCollector collector(tree);
  std::unique_ptr<IStoreKey> pOverview;
  static_cast<void>(collector.ProductKey().CreateKey("Overview", &pOverview));
  static_cast<void>(pOverview->SetValue("Password", STORE_REG_SZ, strText.c_str(), strText.size() + 1));
  return collector.TakeChanges();
}

}  // namespace

TEST(KeptAsStored, ValueOfAnotherTypeStaysUntilTheSettingsWriteSomethingElse) {
  SStoredKey tree;
  {
    CStoredTreeKey key(&tree);
    std::unique_ptr<IStoreKey> pOverview;
    static_cast<void>(key.CreateKey("Overview", &pOverview));
    static_cast<void>(pOverview->SetValue("Password", STORE_REG_BINARY, "\x01\x02", 2));
  }
  // Right after the load the settings write their default over the bytes.
  const std::vector<SStoreChange> kept = KeptAsStored(tree, ChangesOfText(tree, ""));
  ASSERT_EQ(1u, kept.size());

  std::vector<SStoreChange> unchanged = ChangesOfText(tree, "");
  DropKeptAsStored(tree, kept, &unchanged);
  EXPECT_EQ("", Describe(unchanged));

  std::vector<SStoreChange> changed = ChangesOfText(tree, "8384");
  DropKeptAsStored(tree, kept, &changed);
  EXPECT_EQ("2 Overview Password\n", Describe(changed)) << "a password the user set replaces the bytes";
}
