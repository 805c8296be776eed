// Engine and console checks of the web proxy (see ProxyChecks_win.h).
#include "guard/proxy/ProxyChecks_win.h"

#include <iphlpapi.h>

#include <cstdio>
#include <cstring>
#include <mutex>
#include <vector>

#include "engine/LSPGlobals.h"
#include "guard/proxy/RequestAddress.h"
#include "shared/AsciiCase.h"
#include "shared/BoundedCopy.h"
#include "shared/EngineRequest.h"
#include "shared/OwnedResources_win.h"

namespace {

// A user has all the time an alert needs; a console that never answers blocks.
constexpr UINT kConsoleTimeoutMs = 10 * 60 * 1000;
constexpr std::size_t kUrlSize = 261;

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
  if (!CLSPGlobals::IsBadWebAddress(address.strHost.c_str(), address.nPort, address.strPath.c_str(),
                                    address.strQuery.c_str()))
    return false;
  *pstrShown = ShownWebAddress(request);
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

int AskConsole(char cKind, const SClientProgram& program, const std::string& strHostIP, unsigned nPort,
               const std::string& strUrl) {
  EngineRequest request;
  std::memset(&request, 0, sizeof(request));
  CopyBounded(request.szProcessPath, program.strPath.c_str());
  CopyBounded(request.szProcessName, program.strName.c_str());
  CopyBounded(request.szHostIP, strHostIP.c_str());
  CopyBounded(request.szPort, std::to_string(nPort).c_str());
  request.web.cWebKind = cKind;
  if (cKind == KIND_URL) CopyBounded(request.web.szUrl, strUrl.c_str());
  COPYDATASTRUCT copy = {};
  copy.dwData = cKind == KIND_URL ? REQUEST_URL : REQUEST_HOST_IP;
  copy.cbData = WEB_REQUEST_SIZE;
  copy.lpData = &request;
  DWORD_PTR dwResult = 0;
  HWND hConsole = CLSPGlobals::GetMainWndHandle();
  const bool bAnswered = hConsole && ::SendMessageTimeoutA(hConsole, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&copy),
                                                           SMTO_NORMAL, kConsoleTimeoutMs, &dwResult);
  const int nVerdict = bAnswered && dwResult ? VERDICT_ALLOW : VERDICT_BLOCK;
  PrintLine("request " + std::to_string(copy.dwData) + " kind '" + cKind + "' program " + request.szProcessName +
            " host " + request.szHostIP + " port " + request.szPort +
            (cKind == KIND_URL ? std::string(" url ") + request.web.szUrl : std::string()) + ": " +
            (nVerdict ? "allow" : "block") + (hConsole ? "" : " (no console running)"));
  return nVerdict;
}

void PrintLine(const std::string& strLine) {
  std::lock_guard<std::mutex> lock(g_printMutex);
  std::printf("%s\n", strLine.c_str());
  std::fflush(stdout);
}
