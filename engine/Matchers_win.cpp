// The exported matchers and GetUrl over the working definitions file named by
// szDBPath: answered from the index of the file (rebuilt when the file changes), or
// by walking the file through the profile reader when it cannot be indexed.
#include <exception>
#include <utility>

#include "engine/DefinitionMatchers.h"
#include "engine/AppVarsRetry_win.h"
#include "engine/DefinitionsIndexCache_win.h"
#include "engine/LSPGlobals.h"
#include "engine/ProfileWalk_win.h"
#include "engine/RequestUrl.h"
#include "engine/WebAddress.h"

namespace {

using ETable = CDefinitionsIndex::ETable;

// No exception leaves an export: a lookup that runs out of memory lists nothing.
template <typename TAsk>
bool Ask(ETable table, TAsk fnAsk) {
  try {
    RetryAppVarsWhilePathless();
    const auto pIndex = CurrentDefinitionsIndex(CLSPGlobals::szDBPath);
    if (pIndex && pIndex->Prepare(table)) return fnAsk(*pIndex);
    static const CProfileWalkReader reader(CLSPGlobals::szDBPath);  // stateless, shared by every thread
    return fnAsk(CDefinitionMatchers(reader));
  } catch (const std::exception&) {
    return false;
  }
}

}  // namespace

bool CLSPGlobals::IsBadIP(const char* szAddress) {
  return Ask(ETable::Addresses, [&](const auto& matchers) { return matchers.IsBadIP(szAddress); });
}

bool CLSPGlobals::IsBadUrl(char* szLink) {
  return Ask(ETable::Links, [&](const auto& matchers) { return matchers.IsBadUrl(szLink); });
}

bool CLSPGlobals::IsBadWebAddress(const char* szHost, unsigned short nPort, const char* szPath, const char* szQuery) {
  if (!szHost) return false;
  return Ask(ETable::Links, [&](const auto& matchers) {
    SWebAddress address;
    address.strHost = szHost;
    address.nPort = nPort;
    if (szPath) address.strPath = szPath;
    if (szQuery) address.strQuery = szQuery;
    return matchers.IsBadWebAddress(std::move(address));
  });
}

bool CLSPGlobals::IsBadMailFrom(const char* szFrom) {
  return Ask(ETable::From, [&](const auto& matchers) { return matchers.IsBadMailFrom(szFrom); });
}

bool CLSPGlobals::IsBadMailSubject(const char* szSubject) {
  return Ask(ETable::Subject, [&](const auto& matchers) { return matchers.IsBadMailSubject(szSubject); });
}

bool CLSPGlobals::IsBadMailLinks(const char* szText, char* szMatchedLink) {
  return Ask(ETable::MailLinks, [&](const auto& matchers) { return matchers.IsBadMailLinks(szText, szMatchedLink); });
}

bool CLSPGlobals::IsBadVisibleMailLinks(const char* szText, char* szVisibleLink, char* szCalledLink) {
  return Ask(ETable::MailLinks,
             [&](const auto& matchers) { return matchers.IsBadVisibleMailLinks(szText, szVisibleLink, szCalledLink); });
}

bool CLSPGlobals::IsBadMailText(const char* szText, char* szMatchedText) {
  return Ask(ETable::Text, [&](const auto& matchers) { return matchers.IsBadMailText(szText, szMatchedText); });
}

void CLSPGlobals::GetUrl(const char* szRequest, char* szUrl) {
  CutRequestUrl(szRequest, szUrl);
}
