// Whose program a client connection comes from (see ClientUser_win.h).
#include "guard/proxy/ClientUser_win.h"

#include <windows.h>

#include <string>

#include "guard/proxy/UnixSocketUsers.h"
#include "shared/OwnedResources_win.h"
#include "shared/TokenUser_win.h"
#include "shared/UnderWine_win.h"

namespace {

// The kernel's table is read whole; a machine with more sockets than this is not
// one the guard can tell clients on.
constexpr std::size_t kMaxSocketTableBytes = 16 * 1024 * 1024;

// The user a process runs as; empty when unknown.
std::vector<unsigned char> UserOfProcess(HANDLE hProcess) {
  CCloseHandle token;
  if (!::OpenProcessToken(hProcess, TOKEN_QUERY, token.Receive())) return {};
  return UserOfToken(token.Get());
}

// True when the process runs as another user than this process, or cannot be
// asked (another user's process usually cannot).
bool IsOtherUsersProcess(unsigned long dwProcessId) {
  if (dwProcessId == ::GetCurrentProcessId()) return false;
  static const std::vector<unsigned char> ownUser = UserOfProcess(::GetCurrentProcess());
  const CCloseHandle process(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, dwProcessId));
  // A user that cannot be told is not taken for this one.
  return !process || !IsSameUser(UserOfProcess(process.Get()), ownUser);
}

// The text of the kernel's table of IPv4 TCP sockets; empty outside Wine (only
// Wine reaches the Linux file system by this path) or when it cannot be read.
std::string KernelSocketTable() {
  if (!IsUnderWine()) return std::string();
  const CCloseFile file(::CreateFileA("\\\\?\\unix\\proc\\net\\tcp", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                      nullptr, OPEN_EXISTING, 0, nullptr));
  if (!file) return std::string();
  std::string strTable;
  char buffer[64 * 1024];
  DWORD cbRead = 0;
  while (::ReadFile(file.Get(), buffer, sizeof(buffer), &cbRead, nullptr) && cbRead > 0) {
    if (strTable.size() + cbRead > kMaxSocketTableBytes) return std::string();
    strTable.append(buffer, cbRead);
  }
  return strTable;
}

// An IPv4 end as the kernel's table writes it; false for any other.
bool SocketEnd(const sockaddr_storage& address, SSocketEnd* pEnd) {
  if (address.ss_family != AF_INET) return false;
  const sockaddr_in& address4 = reinterpret_cast<const sockaddr_in&>(address);
  pEnd->nAddress = address4.sin_addr.s_addr;
  pEnd->nPort = ntohs(address4.sin_port);
  return true;
}

bool IsThisUnixUsersClient(const std::string& strTable, SOCKET client) {
  sockaddr_storage peer = {};
  sockaddr_storage local = {};
  int cbPeer = sizeof(peer);
  int cbLocal = sizeof(local);
  SSocketEnd clientEnd;
  SSocketEnd guardEnd;
  return ::getpeername(client, reinterpret_cast<sockaddr*>(&peer), &cbPeer) == 0 &&
         ::getsockname(client, reinterpret_cast<sockaddr*>(&local), &cbLocal) == 0 && SocketEnd(peer, &clientEnd) &&
         SocketEnd(local, &guardEnd) && IsSameUnixUserAtBothEnds(strTable, clientEnd, guardEnd);
}

}  // namespace

std::vector<bool> AreOtherUsersClients(const std::vector<SOCKET>& clients,
                                       const std::vector<unsigned long>& processes) {
  std::vector<bool> others(clients.size(), true);
  std::string strTable;
  bool bTableRead = false;
  for (std::size_t i = 0; i < clients.size() && i < processes.size(); ++i) {
    if (processes[i] != 0) {
      others[i] = IsOtherUsersProcess(processes[i]);
      continue;
    }
    // No process named: one read of the kernel's table serves all of them.
    if (!bTableRead) strTable = KernelSocketTable();
    bTableRead = true;
    others[i] = !IsThisUnixUsersClient(strTable, clients[i]);
  }
  return others;
}
