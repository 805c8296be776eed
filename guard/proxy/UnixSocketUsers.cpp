// The Unix users of a connection's ends (see UnixSocketUsers.h).
#include "guard/proxy/UnixSocketUsers.h"

#include <sstream>

#include "guard/proxy/HttpFields.h"

namespace {

// A socket closed and waiting out its time belongs to nobody.
const char kTimeWait[] = "06";

// "0100007F:1F90": eight hex digits of address, four of port.
bool ParseEnd(const std::string& strText, SSocketEnd* pEnd) {
  if (strText.size() != 13 || strText[8] != ':') return false;
  std::uint32_t nAddress = 0;
  unsigned nPort = 0;
  for (std::size_t i = 0; i < 13; ++i) {
    if (i == 8) continue;
    if (!IsHexDigit(strText[i])) return false;
    if (i < 8) {
      nAddress = nAddress * 16 + static_cast<std::uint32_t>(HexDigitValue(strText[i]));
    } else {
      nPort = nPort * 16 + static_cast<unsigned>(HexDigitValue(strText[i]));
    }
  }
  pEnd->nAddress = nAddress;
  pEnd->nPort = nPort;
  return true;
}

bool IsEnd(const SSocketEnd& end, const SSocketEnd& wanted) {
  return end.nAddress == wanted.nAddress && end.nPort == wanted.nPort;
}

// The user of the open socket from `local` to `remote`; false when none is listed.
bool FindUser(const std::string& strTable, const SSocketEnd& local, const SSocketEnd& remote,
              unsigned long long* pnUser) {
  std::istringstream table(strTable);
  std::string strLine;
  while (std::getline(table, strLine)) {
    // "sl local remote st queues timer retransmits uid ..."
    std::istringstream line(strLine);
    std::string strSlot, strLocal, strRemote, strState, strQueues, strTimer, strRetransmits, strUser;
    if (!(line >> strSlot >> strLocal >> strRemote >> strState >> strQueues >> strTimer >> strRetransmits >> strUser))
      continue;
    SSocketEnd localEnd;
    SSocketEnd remoteEnd;
    unsigned long long nUser = 0;
    if (!ParseEnd(strLocal, &localEnd) || !ParseEnd(strRemote, &remoteEnd) || !ParseDecimal(strUser, &nUser) ||
        strState == kTimeWait || !IsEnd(localEnd, local) || !IsEnd(remoteEnd, remote))
      continue;
    *pnUser = nUser;
    return true;
  }
  return false;
}

}  // namespace

bool IsSameUnixUserAtBothEnds(const std::string& strTable, const SSocketEnd& client, const SSocketEnd& guard) {
  unsigned long long nClientUser = 0;
  unsigned long long nGuardUser = 0;
  return FindUser(strTable, client, guard, &nClientUser) && FindUser(strTable, guard, client, &nGuardUser) &&
         nClientUser == nGuardUser;
}
