// Engine and console checks of the web proxy (see ProxyChecks_win.h).
#include "guard/proxy/ProxyChecks_win.h"

#include <iphlpapi.h>

#include <cstdio>
#include <cstring>
#include <mutex>
#include <vector>

#include "engine/LSPGlobals.h"
#include "guard/proxy/RequestAddress.h"
#include "shared/OwnedResources_win.h"
#include "shared/RequestChannel_win.h"

namespace {

std::mutex g_printMutex;

SClientProgram ThisProgram() {
  char szPath[MAX_PATH] = {};
  ::GetModuleFileNameA(nullptr, szPath, sizeof(szPath));
  const char* pSlash = std::strrchr(szPath, '\\');
  return {szPath, pSlash ? pSlash + 1 : szPath};
}

// The system's table of IPv4 connections with their processes; empty when it
// cannot be had. Under Wine one read looks through every process's sockets and
// takes long on a busy machine: callers read it once for many connections.
std::vector<unsigned char> ConnectionTable() {
  ULONG cbTable = 0;
  std::vector<unsigned char> table;
  DWORD dwResult = ERROR_INSUFFICIENT_BUFFER;
  for (int nTry = 0; nTry < 3 && dwResult == ERROR_INSUFFICIENT_BUFFER; ++nTry) {
    table.resize(cbTable ? cbTable : sizeof(MIB_TCPTABLE_OWNER_PID));
    cbTable = static_cast<ULONG>(table.size());
    dwResult = ::GetExtendedTcpTable(table.data(), &cbTable, FALSE, AF_INET, TCP_TABLE_OWNER_PID_CONNECTIONS, 0);
  }
  if (dwResult != NO_ERROR) table.clear();
  return table;
}

DWORD OwnerIn(const std::vector<unsigned char>& table, const sockaddr_storage& peer, unsigned nProxyPort) {
  if (table.empty() || peer.ss_family != AF_INET) return 0;
  const sockaddr_in& peer4 = reinterpret_cast<const sockaddr_in&>(peer);
  const auto* pTable = reinterpret_cast<const MIB_TCPTABLE_OWNER_PID*>(table.data());
  for (DWORD i = 0; i < pTable->dwNumEntries; ++i) {
    const MIB_TCPROW_OWNER_PID& row = pTable->table[i];
    // The client's end: its own address and port, with the proxy's port opposite.
    if (row.dwLocalAddr == peer4.sin_addr.s_addr && static_cast<u_short>(row.dwLocalPort) == peer4.sin_port &&
        ntohs(static_cast<u_short>(row.dwRemotePort)) == nProxyPort)
      return row.dwOwningPid;
  }
  return 0;
}

}  // namespace

SClientProgram ProgramOfProcess(unsigned long dwProcessId) {
  if (dwProcessId != 0 && dwProcessId != ::GetCurrentProcessId()) {
    CCloseHandle process(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, dwProcessId));
    char szPath[MAX_PATH] = {};
    DWORD cchPath = sizeof(szPath);
    if (process && ::QueryFullProcessImageNameA(process.Get(), 0, szPath, &cchPath)) {
      const char* pSlash = std::strrchr(szPath, '\\');
      return {szPath, pSlash ? pSlash + 1 : szPath};
    }
  }
  return ThisProgram();
}

bool IsListedWebAddress(const SProxyRequest& request, std::string* pstrShown) {
  const SWebAddress address = RequestWebAddress(request);
  const auto isListed = [&](const std::string& strQuery) {
    return CLSPGlobals::IsBadWebAddress(address.strHost.c_str(), address.nPort, address.strPath.c_str(),
                                        strQuery.c_str());
  };
  if (!isListed(address.strQuery)) return false;
  *pstrShown = ShownWebAddress(request, address.strQuery.empty() || isListed(std::string()));
  return true;
}

std::vector<unsigned long> ProcessesOfConnections(const std::vector<sockaddr_storage>& peers, unsigned nProxyPort) {
  bool bAnyIPv4 = false;
  for (const sockaddr_storage& peer : peers) bAnyIPv4 = bAnyIPv4 || peer.ss_family == AF_INET;
  const std::vector<unsigned char> table = bAnyIPv4 ? ConnectionTable() : std::vector<unsigned char>();
  std::vector<unsigned long> processes;
  for (const sockaddr_storage& peer : peers) processes.push_back(OwnerIn(table, peer, nProxyPort));
  return processes;
}

bool IsListedHostAddress(const std::string& strAddress) {
  return CLSPGlobals::IsBadIP(strAddress.c_str());
}

int AskConsole(EWebKind eKind, const SClientProgram& program, const std::string& strHostIP, unsigned nPort,
               const std::string& strUrl) {
  SWebRequest request;
  request.eKind = eKind;
  request.source.strProcessPath = program.strPath;
  request.source.strProgram = program.strName;
  request.source.strHostIP = strHostIP;
  request.source.nPort = static_cast<std::int32_t>(nPort);
  if (eKind == EWebKind::Url) request.strUrl = strUrl;
  const SRequestRecord record = RequestRecordOf(request);
  const SConsoleReply reply = SendRequestRecord(CLSPGlobals::GetMainWndHandle(), record, EConsoleWait::AlertTime);
  PrintLine(RequestRecordText(record) + ": " + (reply.nVerdict == VERDICT_ALLOW ? "allow" : "block") +
            (reply.bAnswered ? "" : " (no console answered)"));
  return reply.nVerdict;
}

void PrintLine(const std::string& strLine) {
  std::lock_guard<std::mutex> lock(g_printMutex);
  std::printf("%s\n", strLine.c_str());
  std::fflush(stdout);
}
