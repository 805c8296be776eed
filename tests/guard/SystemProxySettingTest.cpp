// The proxy setting the console points at its web guard, the user's own proxy
// that the guard forwards to, and the guard's command line.
#include <gtest/gtest.h>

#include "guard/ProxyScript.h"
#include "guard/SystemProxySetting.h"
#include "guard/WebGuardLink.h"
#include "guard/proxy/ProxyPages.h"

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

TEST(SystemProxySetting, KeepsTheUsersBypassListAndScriptAside) {
  SProxySettingValues user = UserSetting(1, "http=p.test:3128;https=s.test:3129");
  user.override = Text("*.corp.test;intra");
  user.autoConfig = Text("http://wpad.corp.test/proxy.pac");
  // The guard named itself: the user's list with this machine's names, no script.
  const SProxySettingValues fixed = GuardProxySetting(8118, user);
  EXPECT_EQ(fixed.override.strData, "*.corp.test;intra;<local>");
  EXPECT_FALSE(fixed.autoConfig.bPresent);
  EXPECT_EQ(BypassListWithLocal(UserSetting(0, "")), "<local>");
  user.override = Text("<LOCAL>; x.test");
  EXPECT_EQ(BypassListWithLocal(user), "<LOCAL>; x.test");
  // The guard named by its script: the fixed proxy stays the user's, switched off.
  const SProxySettingValues scripted = GuardProxySetting(8118, user, "http://127.0.0.1:8118/hookwarden-a1.pac");
  EXPECT_FALSE(IsProxyEnabled(scripted));
  EXPECT_EQ(scripted.server.strData, user.server.strData);
  EXPECT_EQ(scripted.autoConfig.strData, "http://127.0.0.1:8118/hookwarden-a1.pac");
  // Per protocol: tunnels take the "https=" entry.
  EXPECT_EQ(UpstreamProxyFor(user, true, 8118), "s.test:3129");
  EXPECT_EQ(UpstreamProxyFor(user, false, 8118), "p.test:3128");
  EXPECT_EQ(AutoConfigUrlOf(user), "http://wpad.corp.test/proxy.pac");
}

TEST(SystemProxySetting, PutsBackOnlyWhatNobodyChangedMeanwhile) {
  SProxySettingValues user = UserSetting(0, "p.test:3128");
  user.autoConfig = Text("http://wpad.test/a.pac");
  const SProxySettingValues written = GuardProxySetting(8118, user);
  // Untouched: the user's values, a missing one missing again.
  SProxySettingValues back = SettingToPutBack(user, written, written);
  EXPECT_TRUE(IsSameSetting(back, user));
  EXPECT_FALSE(back.override.bPresent);
  // A VPN client switched to its own proxy meanwhile: its values stay.
  SProxySettingValues current = written;
  current.server = Text("vpn.test:8080");
  current.override = Text(std::string("vpn.local\0", 10));
  back = SettingToPutBack(user, written, current);
  EXPECT_EQ(back.server.strData, "vpn.test:8080");
  EXPECT_TRUE(IsSameValue(back.override, Text("vpn.local")));
  EXPECT_TRUE(IsSameValue(back.enable, user.enable));
  EXPECT_TRUE(IsSameValue(back.autoConfig, user.autoConfig));
}

TEST(ProxyScript, SendsTheBypassListDirectAndTheRestToTheGuardThenDirect) {
  const std::string strScript =
      ProxyScriptText(8120, "<local>; *.Corp.test;http://intra:8080  bad\"\");alert(1);//;10.*");
  EXPECT_NE(strScript.find("if (isPlainHostName(host)) return \"DIRECT\";"), std::string::npos) << strScript;
  EXPECT_NE(strScript.find("shExpMatch(host, \"*.corp.test\")"), std::string::npos) << strScript;
  EXPECT_NE(strScript.find("shExpMatch(host, \"intra\")"), std::string::npos) << strScript;
  EXPECT_NE(strScript.find("shExpMatch(host, \"10.*\")"), std::string::npos) << strScript;
  // Nothing but host patterns reaches the script.
  EXPECT_EQ(strScript.find("alert"), std::string::npos) << strScript;
  const std::string strLast = "return \"PROXY 127.0.0.1:8120; DIRECT\";\n}\n";
  EXPECT_EQ(strScript.substr(strScript.size() - strLast.size()), strLast);

  EXPECT_EQ(ProxyScriptUrl(8120, "ab12"), "http://127.0.0.1:8120/hookwarden-ab12.pac");
  EXPECT_FALSE(IsProxyScriptName("a/b"));
  EXPECT_FALSE(IsProxyScriptName(""));
  EXPECT_FALSE(IsProxyScriptName(std::string(33, 'a')));
  EXPECT_EQ(GuardCommandLine("G.exe", 7, 8120, "", "ab12"), "\"G.exe\" --console 7 127.0.0.1:8120 --script ab12");
  EXPECT_EQ(GuardCommandLine("G.exe", 7, 8120, "", "a b"), "\"G.exe\" --console 7 127.0.0.1:8120");

  EXPECT_EQ(OwnPagePath("GET /hookwarden-ab12.pac HTTP/1.1\r\nHost: x\r\n\r\n"), "/hookwarden-ab12.pac");
  for (const char* szHead : {"GET http://x/ HTTP/1.1\r\n\r\n", "POST /a HTTP/1.1\r\n\r\n", "GET /a HTTP/2\r\n\r\n", "GET /a"})
    EXPECT_EQ(OwnPagePath(szHead), "") << szHead;
}

}  // namespace
