// The lists and the alert log find entries through an index; a walk of the array
// from index 0 is the rule it must keep. Random lists whose texts differ in letter
// case only, random removals, edits and clears, and every find compared with the
// walk.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "console/settings/AlertLog.h"
#include "console/settings/PermissionLists.h"
#include "console/settings/TextCompare.h"
#include "support/TestRequests.h"

namespace {

bool Same(const std::string& strFirst, const std::string& strSecond) {
  return IsSameTextIgnoringCase(strFirst.c_str(), strSecond.c_str());
}

class CRandomTexts {
 public:
  explicit CRandomTexts(unsigned nSeed) : m_random(nSeed) {}
  int Below(int n) { return static_cast<int>(m_random() % static_cast<unsigned>(n)); }
  // One of a few texts, each letter in either case, so that equal texts come often.
  std::string Pick(const char* const* aszTexts, int nTexts) {
    std::string strText = aszTexts[Below(nTexts)];
    for (char& c : strText) {
      if (Below(2) && c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return strText;
  }

 private:
  std::mt19937 m_random;
};

const char* const kPrograms[] = {"app.exe", "mail.exe", ""};
const char* const kValues[] = {"phish.example", "192.0.2.7", "a", "ab", ""};
const char* const kTypes[] = {"IP", "URL", "From", "Link", "", "Other"};
// The ports that requests with "80", "25", "-1" and "x" decode to.
const std::int32_t kPorts[] = {80, 25, -1, 0};

int LinearWebFind(const CWebSiteBlockingList& list, const SWebRequest& request) {
  const EWebKind eKind = request.eKind;
  if (eKind != EWebKind::HostIP && eKind != EWebKind::Url) return -1;
  for (int i = 0; i < list.GetCount(); ++i) {
    const CWebSiteItem& item = *list.EntryAt(i);
    if (item.nPort != request.source.nPort || !Same(item.strProgram, request.source.strProgram)) continue;
    if (eKind == EWebKind::HostIP ? Same(item.strStrictedData, request.source.strHostIP)
                                  : Same(item.strScamSite, request.strUrl) && Same(StoredTextOf(item.kind), "URL")) {
      return i;
    }
  }
  return -1;
}

int LinearMailFind(const CMailSafeList& list, const SMailRequest& request) {
  for (int i = 0; i < list.GetCount(); ++i) {
    if (Same(list.EntryAt(i)->strStrictedData, MailRestrictedText(request)) &&
        Same(StoredTextOf(list.EntryAt(i)->kind), EntryKindText(EntryKindOf(request.eKind)))) {
      return i;
    }
  }
  return -1;
}

int LinearLogFind(const CAlertLogSettings& log, const CLogEntryDetails& entry) {
  for (int i = 0; i < log.GetEntryCount(); ++i) {
    const CLogEntryDetails& other = *log.EntryAt(i);
    if (Same(StoredTextOf(other.kind), StoredTextOf(entry.kind)) && Same(other.strProgram, entry.strProgram) &&
        Same(other.strProtocol, entry.strProtocol) && Same(other.strHostIP, entry.strHostIP) &&
        Same(other.strStrictedData, entry.strStrictedData) && Same(other.strActionTaken, entry.strActionTaken)) {
      return i;
    }
  }
  return -1;
}

TEST(EntryIndex, ListsFindWhatAWalkFinds) {
  CRandomTexts random(22);
  CWebSiteBlockingList web;
  CMailSafeList mail;
  for (int nStep = 0; nStep < 6000; ++nStep) {
    const int nOperation = random.Below(100);
    if (nOperation < 45) {
      CWebSiteItem item;
      item.kind = EntryKindOfStoredText(random.Pick(kTypes, 6));
      item.strStrictedData = random.Pick(kValues, 5);
      item.strScamSite = random.Below(3) ? item.strStrictedData : random.Pick(kValues, 5);
      item.strProgram = random.Pick(kPrograms, 3);
      item.nPort = random.Below(2) ? 80 : -1;
      web.AppendEntry(item);
      CMailSafeItem mailItem;
      mailItem.kind = EntryKindOfStoredText(random.Pick(kTypes, 6));
      mailItem.strStrictedData = random.Pick(kValues, 5);
      mail.AppendEntry(mailItem);
    } else if (nOperation < 55) {
      web.RemoveEntry(random.Below(web.GetCount() + 2) - 1);
      mail.RemoveEntry(random.Below(mail.GetCount() + 2) - 1);
    } else if (nOperation < 58) {
      // An entry changed in place is found by its new texts.
      if (CWebSiteItem* pItem = web.EntryAt(random.Below(web.GetCount() + 1)))
        pItem->kind = EntryKindOfStoredText("url");
      if (CMailSafeItem* pItem = mail.EntryAt(random.Below(mail.GetCount() + 1))) {
        pItem->strStrictedData = random.Pick(kValues, 5);
      }
    } else if (nOperation == 58) {
      web.RemoveAll();
      mail.RemoveAll();
    } else {
      const EWebKind eKind = random.Below(5) ? (random.Below(2) ? EWebKind::HostIP : EWebKind::Url) : kNotAWebKind;
      const std::string strValue = random.Pick(kValues, 5);
      const std::string strProgram = random.Pick(kPrograms, 3);
      const SWebRequest webRequest = TypedWebRequest(eKind, strProgram.c_str(), kPorts[random.Below(4)],
                                                     strValue.c_str(), random.Pick(kValues, 5).c_str());
      ASSERT_EQ(LinearWebFind(web, webRequest), web.FindWebEntry(webRequest)) << "step " << nStep;
      const EMailKind aMailKinds[] = {EMailKind::From, EMailKind::Subject, EMailKind::Text, EMailKind::Link,
                                      kNotAMailKind};
      SMailRequest mailRequest = TypedMailRequest(aMailKinds[random.Below(5)]);
      mailRequest.strFrom = strValue;
      mailRequest.strSubject = random.Pick(kValues, 5);
      ASSERT_EQ(LinearMailFind(mail, mailRequest), mail.FindMailEntry(mailRequest)) << "step " << nStep;
    }
  }
}

TEST(EntryIndex, AlertLogFindsWhatAWalkFindsAndCountsRatings) {
  CRandomTexts random(7);
  CAlertLogSettings log;
  const char* const kActions[] = {"Allow", "Block", ""};
  const char* const kRatings[] = {"Medium", "High"};
  const auto randomEntry = [&] {
    CLogEntryDetails entry;
    entry.kind = EntryKindOfStoredText(random.Pick(kTypes, 6));
    entry.strProgram = random.Pick(kPrograms, 3);
    entry.strProtocol = random.Below(2) ? "HTTP" : "Unknown";
    entry.strHostIP = random.Pick(kValues, 2);
    entry.strStrictedData = random.Pick(kValues, 5);
    entry.strActionTaken = random.Pick(kActions, 3);
    entry.rating = RatingOfStoredText(random.Pick(kRatings, 2));
    entry.strDateTime = random.Pick(kValues, 5);  // not compared
    return entry;
  };
  for (int nStep = 0; nStep < 3000; ++nStep) {
    const int nOperation = random.Below(100);
    if (nOperation < 40) {
      log.AppendEntry(randomEntry());
    } else if (nOperation < 50) {
      log.SetEntryRating(random.Below(log.GetEntryCount() + 1), RatingOfStoredText(random.Pick(kRatings, 2)).eValue);
    } else if (nOperation < 53) {
      if (CLogEntryDetails* pEntry = log.EntryAt(random.Below(log.GetEntryCount() + 1))) *pEntry = randomEntry();
    } else if (nOperation == 53) {
      log.Clear();
    } else {
      const CLogEntryDetails entry = randomEntry();
      ASSERT_EQ(LinearLogFind(log, entry), log.FindEqualEntry(entry)) << "step " << nStep;
      std::int32_t nHigh = 0;
      for (int i = 0; i < log.GetEntryCount(); ++i) nHigh += Same(StoredTextOf(log.EntryAt(i)->rating), "HIGH") ? 1 : 0;
      ASSERT_EQ(nHigh, log.CountEntriesRated(ERating::High)) << "step " << nStep;
    }
  }
}

}  // namespace
