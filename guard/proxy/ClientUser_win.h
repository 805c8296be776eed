// Whose program a client connection comes from. The web guard forwards for its own
// user's programs only: on a machine with several users, a port this user's guard
// once had may now be another user's guard, and neither may see the other's traffic.
#pragma once

// True when the process runs as another user than this process, or cannot be
// asked (another user's process usually cannot). False for process id 0 (the
// system did not tell whose connection it is).
bool IsOtherUsersProcess(unsigned long dwProcessId);
