// The one spelling of a web address that the definitions are checked with. A
// phisher can write the same page many ways ("Login.Example.com.:8080",
// "/verif%79", "//x/../verify"); the origin server takes them all for one page,
// so the check must too. Reads outside input: any bytes give a result.
#pragma once

#include <string>

// Lower case, without the trailing dot of a fully qualified name. The port is not
// part of a host name: callers check with and without it.
std::string NormalHostName(const std::string& strHost);

// A path that begins with "/" (no query): %XX of the unreserved characters
// (letters, digits, "-", ".", "_", "~") decoded, other escapes kept with their hex
// digits in upper case, runs of "/" collapsed, then "." and ".." segments removed
// ("/.." stays at the root). The result begins with "/".
std::string NormalPath(const std::string& strPath);
