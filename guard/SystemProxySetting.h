// The user's system proxy setting (WinINet's "ProxyEnable", "ProxyServer" and
// "ProxyOverride" below Internet Settings) as plain values: what the web guard
// writes there, and which proxy of the user's own it must forward to.
#pragma once

#include <cstdint>
#include <string>

// One registry value as it was found: its type and raw bytes, or missing.
struct SRegistryValue {
  bool bPresent = false;
  std::uint32_t dwType = 0;
  std::string strData;  // the raw bytes, a text without its terminating zero
};

struct SProxySettingValues {
  SRegistryValue enable;    // "ProxyEnable", REG_DWORD
  SRegistryValue server;    // "ProxyServer", REG_SZ
  SRegistryValue override;  // "ProxyOverride", REG_SZ
};

constexpr const char* kProxyEnableName = "ProxyEnable";
constexpr const char* kProxyServerName = "ProxyServer";
constexpr const char* kProxyOverrideName = "ProxyOverride";
// The guard is asked for every address but this machine's plain names.
constexpr const char* kGuardProxyOverride = "<local>";
constexpr const char* kGuardAddress = "127.0.0.1";

// The values that point every program at the guard on 127.0.0.1:nPort.
SProxySettingValues GuardProxySetting(unsigned nPort);

// True when the setting says the proxy is on: a 4-byte number other than 0 (also
// a REG_BINARY one, as some tools write it).
bool IsProxyEnabled(const SProxySettingValues& values);

// The proxy the user's setting sends web requests to, as "HOST:PORT", when it is
// on and names one (the "http=" entry of a per-protocol list, or the single
// entry for all; port 80 when none is given). Empty when there is none, or when
// it is the guard itself on 127.0.0.1:nGuardPort.
std::string UpstreamProxyOf(const SProxySettingValues& values, unsigned nGuardPort);
