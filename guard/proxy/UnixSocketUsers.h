// Whose a client connection is when the guard runs under Wine: the system's
// connection table there names only this Wine session's processes, so a program
// outside it (a Linux program, or another user's Wine session) has no process id.
// The kernel's own table of TCP sockets (/proc/net/tcp) names the Unix user of
// every socket, the client's end and the guard's alike.
#pragma once

#include <cstdint>
#include <string>

// One end of a connection as the kernel's table writes it: the IPv4 address's
// four bytes read as one number of this machine, and the port.
struct SSocketEnd {
  std::uint32_t nAddress = 0;
  unsigned nPort = 0;
};

// True when the table (the text of /proc/net/tcp) lists both ends of the
// connection between the client and the guard, and one Unix user holds both.
// False when either end is missing (a client gone already, a table that cannot be
// read) or the users differ: a client that cannot be told is not this user's.
bool IsSameUnixUserAtBothEnds(const std::string& strTable, const SSocketEnd& client, const SSocketEnd& guard);
