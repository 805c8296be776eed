// Whose program a client connection comes from. The web guard forwards for its own
// user's programs only: on a machine with several users, a port this user's guard
// once had may now be another user's guard, and neither may see the other's traffic.
#pragma once

#include <winsock2.h>

#include <vector>

// For client connections accepted together, with their processes as the system's
// connection table named them (0 where it did not): true for each that is not
// known to be this user's. A process that runs as another user, cannot be asked
// or is not named is another user's; under Wine, where programs outside this Wine
// session have no process here, the Unix user of the client's socket decides.
std::vector<bool> AreOtherUsersClients(const std::vector<SOCKET>& clients, const std::vector<unsigned long>& processes);
