// The exported matchers as one object with the shape of CDefinitionMatchers, so
// that code written for the walk over a reader (the tests' comparisons, the
// benchmark) asks the exports, which answer from the index, the same way.
#pragma once

#include "engine/LSPGlobals.h"
#include "engine/WebAddress.h"

struct CExportedMatchers {
  bool IsBadIP(const char* sz) const { return CLSPGlobals::IsBadIP(sz); }
  bool IsBadUrl(char* sz) const { return CLSPGlobals::IsBadUrl(sz); }
  bool IsBadWebAddress(const SWebAddress& address) const {
    return CLSPGlobals::IsBadWebAddress(address.strHost.c_str(), address.nPort, address.strPath.c_str(),
                                        address.strQuery.c_str());
  }
  bool IsBadMailFrom(const char* sz) const { return CLSPGlobals::IsBadMailFrom(sz); }
  bool IsBadMailSubject(const char* sz) const { return CLSPGlobals::IsBadMailSubject(sz); }
  bool IsBadMailLinks(const char* sz, char* szOut) const { return CLSPGlobals::IsBadMailLinks(sz, szOut); }
  bool IsBadVisibleMailLinks(const char* sz, char* szOut1, char* szOut2) const {
    return CLSPGlobals::IsBadVisibleMailLinks(sz, szOut1, szOut2);
  }
  bool IsBadMailText(const char* sz, char* szOut) const { return CLSPGlobals::IsBadMailText(sz, szOut); }
};
