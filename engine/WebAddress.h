// A web address as its parts, and the one spelling of it that the definitions are
// compared in. A phisher can write the same page many ways ("Login.Example.com.",
// "http://3279880203/", "/verif%79", "//x/../verify"); the resolver and the
// origin server take them all for one page, so the check must too. Everything
// here reads outside input: any bytes give a result.
#pragma once

#include <string>
#include <string_view>

struct SWebAddress {
  std::string strHost;
  unsigned short nPort = 0;  // 0 when none was given
  std::string strPath;       // begins with "/", or empty (a tunnel's host, a root page)
  std::string strQuery;      // without its "?"; empty when none
};

// The normal form:
// - in host, path and query, %XX of letters, digits, "-", ".", "_" and "~" decoded
//   until none is left, other escapes kept with upper-case hex digits;
// - the host lower-cased without trailing dots; an IPv4 address in any form the
//   system's resolver takes (one number, "0x" hex or "0" octal parts, one to four
//   parts) as four decimal parts; an IPv6 address in brackets;
// - in the path, runs of "/" made one, then "." and ".." segments removed; a path
//   that does not begin with "/" gets one. The query keeps its slashes.
SWebAddress NormalizeWebAddress(const SWebAddress& address);

// The parts of a link as text ("http://user@Host:8080/path?query#fragment", or
// "host/path" without a scheme), not yet in the normal form; the fragment is
// dropped. A port that is not a number from 1 to 65535 is left out.
SWebAddress WebAddressOfLink(std::string_view link);
// The same into an address whose strings are reused, for a loop over many links.
void ReadWebAddressOfLink(std::string_view link, SWebAddress& address);

// The normal form in lower case throughout, as links and listed links are compared
// (the definitions hold lower-case entries).
SWebAddress ComparedWebAddress(SWebAddress address);
void MakeCompared(SWebAddress& address);
