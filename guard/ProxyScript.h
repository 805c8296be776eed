// The proxy auto-config script that the guard serves on its own port, which the
// system setting names while the guard runs: the user's bypass list and this
// machine's plain names go direct, everything else to the guard with DIRECT
// after it. A guard that is gone is a script that cannot be had, or a proxy that
// does not answer: either way programs go direct instead of nowhere.
#pragma once

#include <string>

// A script's name: letters and digits only, at most 32 of them.
bool IsProxyScriptName(const std::string& strName);
// "/hookwarden-NAME.pac", and the address of that path on the guard.
std::string ProxyScriptPath(const std::string& strName);
std::string ProxyScriptUrl(unsigned nGuardPort, const std::string& strName);

// The script for the guard on 127.0.0.1:nGuardPort and the user's bypass list
// ("ProxyOverride": entries apart by ";" or blanks, "<local>" for plain names,
// "*" and "?" as wildcards). Entries that are not host patterns are left out.
std::string ProxyScriptText(unsigned nGuardPort, const std::string& strBypassList);
