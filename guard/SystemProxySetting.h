// The user's system proxy setting (WinINet's "ProxyEnable", "ProxyServer",
// "ProxyOverride" and "AutoConfigURL" below Internet Settings) as plain values:
// what the web guard writes there, what goes back when it lets go, and which proxy
// of the user's own it must forward to.
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
  SRegistryValue autoConfig;  // "AutoConfigURL", REG_SZ
};

constexpr const char* kProxyEnableName = "ProxyEnable";
constexpr const char* kProxyServerName = "ProxyServer";
constexpr const char* kProxyOverrideName = "ProxyOverride";
constexpr const char* kAutoConfigUrlName = "AutoConfigURL";
// The guard is asked for every address but this machine's plain names.
constexpr const char* kGuardProxyOverride = "<local>";
constexpr const char* kGuardAddress = "127.0.0.1";

// The values that point every program at the guard on 127.0.0.1:nPort. With a
// script address (strScriptUrl, served by the guard) the setting names only the
// script, whose every answer ends in DIRECT: a guard that is gone, or a script
// that cannot be had, leaves programs going direct. Without one the setting
// names the guard itself. Either way the user's bypass list stays in force, with
// this machine's plain names added.
SProxySettingValues GuardProxySetting(unsigned nPort, const SProxySettingValues& user = SProxySettingValues(),
                                      const std::string& strScriptUrl = std::string());

// The user's bypass list ("ProxyOverride") with "<local>" added when missing.
std::string BypassListWithLocal(const SProxySettingValues& user);

// Same presence, type and data (a text up to its first zero byte).
bool IsSameValue(const SRegistryValue& a, const SRegistryValue& b);
bool IsSameSetting(const SProxySettingValues& a, const SProxySettingValues& b);

// What goes back when the guard lets go of the setting: each value still as the
// guard wrote it is the user's again; one changed since (by the user, a VPN
// client, another program) stays as it is now.
SProxySettingValues SettingToPutBack(const SProxySettingValues& user, const SProxySettingValues& written,
                                     const SProxySettingValues& current);

// True when the setting says the proxy is on: a 4-byte number other than 0 (also
// a REG_BINARY one, as some tools write it).
bool IsProxyEnabled(const SProxySettingValues& values);

// The proxy the user's setting sends web requests to, as "HOST:PORT", when it is
// on and names one (the "http=" entry of a per-protocol list, or the single
// entry for all; port 80 when none is given). Empty when there is none, or when
// it is the guard itself on 127.0.0.1:nGuardPort.
std::string UpstreamProxyOf(const SProxySettingValues& values, unsigned nGuardPort);
// The same for a tunnel (bSecure: the "https=" entry) or a plain request.
std::string UpstreamProxyFor(const SProxySettingValues& values, bool bSecure, unsigned nGuardPort);

// The user's proxy auto-config script address, when one is set; empty otherwise.
std::string AutoConfigUrlOf(const SProxySettingValues& values);
