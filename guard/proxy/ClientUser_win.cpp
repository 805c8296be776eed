// Whose program a client connection comes from (see ClientUser_win.h).
#include "guard/proxy/ClientUser_win.h"

#include <windows.h>

#include <vector>

#include "shared/OwnedResources_win.h"

namespace {

// The user of a process token, as a block holding a TOKEN_USER; empty when unknown.
std::vector<unsigned char> TokenUserOf(HANDLE hProcess) {
  HANDLE hToken = nullptr;
  if (!::OpenProcessToken(hProcess, TOKEN_QUERY, &hToken)) return {};
  const CCloseHandle token(hToken);
  DWORD cbNeeded = 0;
  ::GetTokenInformation(token.Get(), TokenUser, nullptr, 0, &cbNeeded);
  if (cbNeeded == 0) return {};
  std::vector<unsigned char> user(cbNeeded);
  if (!::GetTokenInformation(token.Get(), TokenUser, user.data(), cbNeeded, &cbNeeded)) return {};
  return user;
}

}  // namespace

bool IsOtherUsersProcess(unsigned long dwProcessId) {
  if (dwProcessId == 0 || dwProcessId == ::GetCurrentProcessId()) return false;
  static const std::vector<unsigned char> ownUser = TokenUserOf(::GetCurrentProcess());
  const CCloseHandle process(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, dwProcessId));
  if (!process) return true;
  const std::vector<unsigned char> user = TokenUserOf(process.Get());
  // A user that cannot be told is not taken for this one.
  if (user.empty() || ownUser.empty()) return true;
  return !::EqualSid(reinterpret_cast<const TOKEN_USER*>(user.data())->User.Sid,
                     reinterpret_cast<const TOKEN_USER*>(ownUser.data())->User.Sid);
}
