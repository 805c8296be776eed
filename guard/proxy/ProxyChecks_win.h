// What the web proxy asks about each request, as the socket-layer provider does:
// the engine library whether the definitions list the address, and, when they do,
// the console for its verdict, naming the program that opened the connection.
#pragma once

#include <winsock2.h>
#include <windows.h>

#include <string>
#include <vector>

#include "guard/proxy/ProxyRequestHead.h"
#include "shared/Requests.h"

struct SClientProgram {
  std::string strPath;
  std::string strName;
};

// The program of a process on this machine (as ProcessesOfConnections found it);
// this program when the id is 0 or the process cannot be asked.
SClientProgram ProgramOfProcess(unsigned long dwProcessId);

// The process ids of those programs for connections accepted together, with one
// look at the system's table; 0 where the system does not tell.
std::vector<unsigned long> ProcessesOfConnections(const std::vector<sockaddr_storage>& peers, unsigned nProxyPort);

// The engine's typed check on the request's host, port, path and query (none for
// a CONNECT); when listed, *pstrShown is the address the console is shown.
bool IsListedWebAddress(const SProxyRequest& request, std::string* pstrShown);
// IsBadIP on a resolved host address.
bool IsListedHostAddress(const std::string& strAddress);

// Sends request 1126 (kind Url, with strUrl) or 1125 (HostIP) to the console
// through the request channel and returns its verdict: block when no console
// answers. Prints the request and the verdict.
int AskConsole(EWebKind eKind, const SClientProgram& program, const std::string& strHostIP, unsigned nPort,
               const std::string& strUrl);

// One line on standard output; lines of several connections do not mix.
void PrintLine(const std::string& strLine);
