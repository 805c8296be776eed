// The user a process runs as, from its access token, and whether two are one.
#pragma once

#include <windows.h>

#include <vector>

// The token's user, as a block holding a TOKEN_USER; empty when unknown.
inline std::vector<unsigned char> UserOfToken(HANDLE hToken) {
  DWORD cbNeeded = 0;
  ::GetTokenInformation(hToken, TokenUser, nullptr, 0, &cbNeeded);
  std::vector<unsigned char> user(cbNeeded);
  if (cbNeeded == 0 || !::GetTokenInformation(hToken, TokenUser, user.data(), cbNeeded, &cbNeeded)) user.clear();
  return user;
}

// A user that cannot be told is nobody's: false when either is empty.
inline bool IsSameUser(const std::vector<unsigned char>& a, const std::vector<unsigned char>& b) {
  if (a.empty() || b.empty()) return false;
  return ::EqualSid(reinterpret_cast<const TOKEN_USER*>(a.data())->User.Sid,
                    reinterpret_cast<const TOKEN_USER*>(b.data())->User.Sid) != FALSE;
}
