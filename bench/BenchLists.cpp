#include "bench/BenchLists.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "definitions/DefinitionsLayout.h"

namespace {

std::string Format(const char* szFormat, int n) {
  char sz[300];
  std::snprintf(sz, sizeof(sz), szFormat, n, n);
  return sz;
}

std::string HostIPOf(int n) {
  char sz[32];
  std::snprintf(sz, sizeof(sz), "10.%d.%d.%d", n / 65536, n / 256 % 256, n % 256);
  return sz;
}

// Some 70 characters, as real-world links run.
std::string HostLinkOf(int n) {
  return Format("host%07d.secure-login.phish.example/account/verify/login%07d.php", n);
}
std::string HostLinkPageOf(int n) {
  return Format("host%07d.secure-login.phish.example/account/verify/login%07d.php/step2", n);
}

std::string CalledLinkOf(int n) {
  return Format("http://link%05d.phish.example/pay%05d", n);
}
std::string VisibleLinkOf(int n) {
  return Format("http://www.bank%05d.example/", n);
}

// Around the matching part, the kind of page text a web-mail page gives.
std::string InPage(const std::string& strPart) {
  return "<html><body><p>dear customer,</p><p>" + strPart + "</p><p>regards, the team</p></body></html>";
}

}  // namespace

std::string MakePlainDefinitions(const char* szEntries) {
  const int nHostEntries = ListedEntries(szEntries, EBenchMatcher::HostIP);
  const int nMailEntries = ListedEntries(szEntries, EBenchMatcher::MailText);
  const int nLinkEntries = ListedEntries(szEntries, EBenchMatcher::MailLinks);
  struct SList {
    EDefinitionList list;
    std::string (*pValueOf)(int);
  };
  const SList lists[] = {
      {EDefinitionList::HostIP, HostIPOf},
      {EDefinitionList::HostLink, HostLinkOf},
      {EDefinitionList::CalledLink, CalledLinkOf},
      {EDefinitionList::VisibleLink, VisibleLinkOf},
      {EDefinitionList::From, [](int n) { return Format("sender%05d@phish.example", n); }},
      {EDefinitionList::Subject, [](int n) { return Format("subject %05d verify your account", n); }},
      {EDefinitionList::Text, [](int n) { return Format("text %05d confirm your password", n); }},
  };
  std::string strPlain;
  for (const SList& list : lists) {
    const SDefinitionListLayout& layout = LayoutOf(list.list);
    strPlain += std::string("[") + layout.szSection + "]\n";
    const bool bMail = list.list == EDefinitionList::From || list.list == EDefinitionList::Subject ||
                       list.list == EDefinitionList::Text;
    const bool bLink = list.list == EDefinitionList::CalledLink || list.list == EDefinitionList::VisibleLink;
    for (int n = 1, nEntries = bMail ? nMailEntries : bLink ? nLinkEntries : nHostEntries; n <= nEntries; ++n) {
      strPlain += layout.szPrefix + std::to_string(n) + "=" + list.pValueOf(n) + "\n";
    }
  }
  return strPlain;
}

const char* NameOf(EBenchMatcher matcher) {
  switch (matcher) {
    case EBenchMatcher::HostIP:
      return "IsBadIP";
    case EBenchMatcher::Url:
      return "IsBadUrl";
    case EBenchMatcher::WebAddress:
      return "IsBadWebAddress";
    case EBenchMatcher::MailFrom:
      return "IsBadMailFrom";
    case EBenchMatcher::MailSubject:
      return "IsBadMailSubject";
    case EBenchMatcher::MailLinks:
      return "IsBadMailLinks";
    case EBenchMatcher::VisibleMailLinks:
      return "IsBadVisibleMailLinks";
    case EBenchMatcher::MailText:
      return "IsBadMailText";
  }
  return "?";
}

int ListedEntries(const char* szEntries, EBenchMatcher matcher) {
  const char* pMail = std::strchr(szEntries, '/');
  const char* pLinks = pMail ? std::strchr(pMail + 1, '/') : nullptr;
  const bool bMail =
      matcher == EBenchMatcher::MailFrom || matcher == EBenchMatcher::MailSubject || matcher == EBenchMatcher::MailText;
  const bool bLinks = matcher == EBenchMatcher::MailLinks || matcher == EBenchMatcher::VisibleMailLinks;
  if (bLinks && pLinks) return std::atoi(pLinks + 1);
  return std::atoi(bMail && pMail ? pMail + 1 : szEntries);
}

std::string QueryFor(EBenchMatcher matcher, int nEntry) {
  const bool bNone = nEntry == 0;
  switch (matcher) {
    case EBenchMatcher::HostIP:
      return bNone ? "192.0.2.1" : HostIPOf(nEntry);
    case EBenchMatcher::Url:
      return bNone ? "www.example.org/account/verify/login.php" : HostLinkPageOf(nEntry);
    case EBenchMatcher::WebAddress:
      return (bNone ? "www.example.org/account/verify/login.php" : HostLinkPageOf(nEntry)) + "?session=7&lang=en";
    case EBenchMatcher::MailFrom:
      return bNone ? "\"a friend\" <friend@example.org>" : Format("\"billing\" <sender%05d@phish.example>", nEntry);
    case EBenchMatcher::MailSubject:
      return bNone ? "re: lunch on friday" : Format("re: subject %05d verify your account now", nEntry);
    case EBenchMatcher::MailLinks:
      return InPage(bNone ? "<a href=\"http://www.example.org/\">home</a>"
                          : "<a href=\"" + CalledLinkOf(nEntry) + "\">pay here</a>");
    case EBenchMatcher::VisibleMailLinks:
      return InPage(bNone ? "<a href=\"http://www.example.org/\">http://www.example.org/</a>"
                          : "<a href=\"" + CalledLinkOf(nEntry) + "\">" + VisibleLinkOf(nEntry) + "</a>");
    case EBenchMatcher::MailText:
      return InPage(bNone ? "see you at the meeting" : Format("please text %05d confirm your password today", nEntry));
  }
  return "";
}
