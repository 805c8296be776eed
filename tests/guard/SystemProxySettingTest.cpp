// The proxy setting the console points at its web guard, the user's own proxy
// that the guard forwards to, and the guard's command line.
#include <gtest/gtest.h>

#include "guard/SystemProxySetting.h"
#include "guard/WebGuardLink.h"

namespace {

SRegistryValue Dword(std::uint32_t dwValue) {
  SRegistryValue value;
  value.bPresent = true;
  value.dwType = 4;
  for (int i = 0; i < 4; ++i) value.strData.push_back(static_cast<char>((dwValue >> (8 * i)) & 0xFF));
  return value;
}

SRegistryValue Text(const std::string& strText) {
  SRegistryValue value;
  value.bPresent = true;
  value.dwType = 1;
  value.strData = strText;
  return value;
}

SProxySettingValues UserSetting(std::uint32_t dwEnable, const std::string& strServer) {
  SProxySettingValues values;
  values.enable = Dword(dwEnable);
  values.server = Text(strServer);
  return values;
}

TEST(SystemProxySetting, PointsEveryProgramAtTheGuard) {
  const SProxySettingValues guard = GuardProxySetting(8119);
  EXPECT_TRUE(IsProxyEnabled(guard));
  EXPECT_EQ(guard.enable.dwType, 4u);
  EXPECT_EQ(guard.server.strData, "127.0.0.1:8119");
  EXPECT_EQ(guard.override.strData, "<local>");
  // The guard's own setting never makes it forward to itself.
  EXPECT_EQ(UpstreamProxyOf(guard, 8119), "");
}

TEST(SystemProxySetting, FindsTheUsersOwnProxy) {
  EXPECT_EQ(UpstreamProxyOf(UserSetting(1, "proxy.corp.test:3128"), 8118), "proxy.corp.test:3128");
  EXPECT_EQ(UpstreamProxyOf(UserSetting(1, "http://proxy.corp.test:8080/"), 8118), "proxy.corp.test:8080");
  EXPECT_EQ(UpstreamProxyOf(UserSetting(1, "proxy.corp.test"), 8118), "proxy.corp.test:80");
  // Per protocol: the web's entry, wherever it stands.
  EXPECT_EQ(UpstreamProxyOf(UserSetting(1, "ftp=f.test:21;HTTP=h.test:81;https=s.test:443"), 8118), "h.test:81");
  EXPECT_EQ(UpstreamProxyOf(UserSetting(1, "https=s.test:443; ftp=f.test:21"), 8118), "");
  // A stored text may carry its terminating zero.
  EXPECT_EQ(UpstreamProxyOf(UserSetting(1, std::string("p.test:3128\0", 12)), 8118), "p.test:3128");
  // Another program on the loopback address is a proxy of its own.
  EXPECT_EQ(UpstreamProxyOf(UserSetting(1, "127.0.0.1:3128"), 8118), "127.0.0.1:3128");
  EXPECT_EQ(UpstreamProxyOf(UserSetting(1, "localhost:8118"), 8118), "");
}

TEST(SystemProxySetting, NoUpstreamWhenTheSettingIsOffOrUnusable) {
  EXPECT_EQ(UpstreamProxyOf(UserSetting(0, "proxy.corp.test:3128"), 8118), "");
  SProxySettingValues missing = UserSetting(1, "");
  missing.server.bPresent = false;
  EXPECT_EQ(UpstreamProxyOf(missing, 8118), "");
  // Too short for a number, or text where a number belongs: off.
  SProxySettingValues shortEnable = UserSetting(1, "p.test:1");
  shortEnable.enable.strData = "\x01";
  EXPECT_FALSE(IsProxyEnabled(shortEnable));
  SProxySettingValues textEnable = UserSetting(1, "p.test:1");
  textEnable.enable.dwType = 1;
  EXPECT_FALSE(IsProxyEnabled(textEnable));
  for (const char* szServer : {"p.test:0", "p.test:65536", "p.test:80x", ":3128", "p.test:", "a/b:1", "http="})
    EXPECT_EQ(UpstreamProxyOf(UserSetting(1, szServer), 8118), "") << szServer;
}

TEST(WebGuardLink, CommandLineCarriesOnlyAPlainUpstream) {
  EXPECT_EQ(GuardCommandLine("C:\\Program Files\\Hookwarden\\HookwdnGuard.exe", 42, 8118, ""),
            "\"C:\\Program Files\\Hookwarden\\HookwdnGuard.exe\" --console 42 127.0.0.1:8118");
  EXPECT_EQ(GuardCommandLine("G.exe", 7, 8120, "p.test:3128"), "\"G.exe\" --console 7 127.0.0.1:8120 --upstream p.test:3128");
  EXPECT_EQ(GuardCommandLine("G.exe", 7, 8120, "p.test:1\" --x"), "\"G.exe\" --console 7 127.0.0.1:8120");
  EXPECT_NE(GuardStopEventName(7), GuardStopEventName(8));
}

}  // namespace
