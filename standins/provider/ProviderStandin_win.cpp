// Stand-in for the socket-layer provider: does with one connection or one web
// request what the provider does with traffic. It asks the engine library whether
// the definitions list the host address (IsBadIP) or the requested address
// (IsBadUrl, after cutting it out of a request head with GetUrl), and only when
// they do it sends request 1125 (kind 'I') or 1126 (kind 'U') to the console.
//
//   provider-standin --kind I --ip ADDRESS --port PORT [--path PROCESS_PATH] [--name PROCESS_NAME]
//   provider-standin --kind U --ip ADDRESS --port PORT (--head FILE|- | --url URL) [...]
//   ... [--always]   send without asking the definitions (to drive the console directly)
//   provider-standin --probe   sends nothing; exit 0 when the console's request window is there, 4 when not
//   provider-standin --proxy [ADDRESS:]PORT [--resolve NAME=ADDRESS]... [--upstream HOST:PORT] [--seconds N]
//     a local web proxy (default 127.0.0.1:8118) that checks every request as the
//     provider does and forwards, blocks or refuses it (ProxyServer_win.h)
//
// --head reads a raw HTTP request head from FILE, or from standard input for "-".
// Exit code: the console's verdict (1 allow, 0 block); 3 when the definitions do
// not list the address, so nothing is sent and the traffic passes; 2 for a usage
// or file error.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "engine/LSPGlobals.h"
#include "shared/AsciiCase.h"
#include "shared/BoundedCopy.h"
#include "shared/EngineRequest.h"
#include "shared/OwnedResources_win.h"
#include "shared/Result_win.h"
#include "shared/RequestChannel_win.h"
#include "guard/proxy/ProxyOptions.h"
#include "guard/proxy/ProxyServer_win.h"

namespace {

constexpr int kExitNotListed = 3;
constexpr int kExitUsage = 2;
constexpr int kExitNoConsole = 4;
constexpr std::size_t kMaxHeadBytes = 64 * 1024;
constexpr std::size_t kMaxUrlBytes = sizeof(SWebRequestTail::szUrl) - 1;

struct COptions {
  const char* szKind = nullptr;
  const char* szIP = "";
  const char* szPort = "";
  const char* szUrl = nullptr;
  const char* szHead = nullptr;
  const char* szPath = "C:\\Program Files\\Internet Explorer\\iexplore.exe";
  const char* szName = nullptr;
  bool bAlways = false;
};

int Usage() {
  std::fprintf(stderr,
               "usage: provider-standin --kind I --ip ADDRESS --port PORT [--path PROCESS_PATH] [--name PROCESS_NAME]\n"
               "       provider-standin --kind U --ip ADDRESS --port PORT (--head FILE|- | --url URL) [...]\n"
               "       add --always to send without asking the definitions\n"
               "       provider-standin --proxy [ADDRESS:]PORT [--resolve NAME=ADDRESS]... [--upstream HOST:PORT]\n"
               "                            [--seconds N]\n");
  return kExitUsage;
}

bool ParseOptions(int argc, char** argv, COptions& options) {
  for (int i = 1; i < argc; ++i) {
    const char* szOption = argv[i];
    if (!std::strcmp(szOption, "--always")) {
      options.bAlways = true;
      continue;
    }
    if (i + 1 >= argc) return false;
    const char* szValue = argv[++i];
    if (!std::strcmp(szOption, "--kind")) {
      options.szKind = szValue;
    } else if (!std::strcmp(szOption, "--ip")) {
      options.szIP = szValue;
    } else if (!std::strcmp(szOption, "--port")) {
      options.szPort = szValue;
    } else if (!std::strcmp(szOption, "--url")) {
      options.szUrl = szValue;
    } else if (!std::strcmp(szOption, "--head")) {
      options.szHead = szValue;
    } else if (!std::strcmp(szOption, "--path")) {
      options.szPath = szValue;
    } else if (!std::strcmp(szOption, "--name")) {
      options.szName = szValue;
    } else {
      return false;
    }
  }
  if (!options.szKind || (std::strcmp(options.szKind, "I") && std::strcmp(options.szKind, "U"))) return false;
  if (options.szKind[0] == KIND_URL && !options.szUrl && !options.szHead) return false;
  return !(options.szUrl && options.szHead);
}

// The whole head, binary (a line end stays CR LF), at most kMaxHeadBytes.
bool ReadHead(const char* szSource, std::string& strHead) {
  CFClose opened;  // standard input stays open
  FILE* pFile = stdin;
  if (!std::strcmp(szSource, "-")) {
    _setmode(_fileno(stdin), _O_BINARY);
  } else {
    opened.Reset(std::fopen(szSource, "rb"));
    if (!opened) return false;
    pFile = opened.Get();
  }
  char buffer[4096];
  std::size_t nRead = 0;
  while (strHead.size() < kMaxHeadBytes && (nRead = std::fread(buffer, 1, sizeof(buffer), pFile)) > 0) {
    strHead.append(buffer, nRead);
  }
  const bool bOk = !std::ferror(pFile);
  if (strHead.size() > kMaxHeadBytes) strHead.resize(kMaxHeadBytes);
  return bOk;
}

// The address the request asks for, as the provider cuts it: the head in lower
// case (the cutter's tokens are lower case, as on the wire after the provider's
// folding), then GetUrl. Empty when the head names none.
std::string AddressOfHead(std::string strHead) {
  for (char& c : strHead) c = LowerAsciiChar(c);
  char szUrl[261];
  CLSPGlobals::GetUrl(strHead.c_str(), szUrl);
  return szUrl;
}

const char* NameOfPath(const char* szPath) {
  const char* pSlash = std::strrchr(szPath, '\\');
  return pSlash ? pSlash + 1 : szPath;
}

// The port as a decimal number from 0 to 65535 (0 when left out); false for any
// other text.
bool ReadPort(const char* szPort, std::int32_t& nPort) {
  nPort = 0;
  for (const char* p = szPort; *p; ++p) {
    if (*p < '0' || *p > '9' || (nPort = nPort * 10 + (*p - '0')) > 65535) return false;
  }
  return true;
}

int SendToConsole(const SWebRequest& request) {
  const SRequestRecord record = RequestRecordOf(request);
  const SConsoleReply reply = SendRequestRecord(CLSPGlobals::GetMainWndHandle(), record, EConsoleWait::AlertTime);
  std::printf("%s: %s%s\n", RequestRecordText(record).c_str(), reply.nVerdict == VERDICT_ALLOW ? "allow" : "block",
              reply.bAnswered ? "" : " (no console answered)");
  return reply.nVerdict;
}

}  // namespace

int main(int argc, char** argv) {
  // Whether the console is up, without a request that might open an alert.
  if (argc == 2 && !std::strcmp(argv[1], "--probe")) return CLSPGlobals::GetMainWndHandle() ? 0 : kExitNoConsole;
  if (argc >= 2 && !std::strcmp(argv[1], "--proxy")) {
    const CResultOf<SProxyOptions> parsed = ParseProxyOptions(argc, argv, 2);
    if (!parsed.IsOk()) {
      std::fprintf(stderr, "provider-standin: %s\n", parsed.Result().Text().c_str());
      return Usage();
    }
    const CResult ran = RunProxy(parsed.Value());
    if (!ran.IsOk()) std::fprintf(stderr, "web proxy: %s\n", ResultMessage(ran).c_str());
    return ran.IsOk() ? 0 : 1;
  }
  COptions options;
  if (!ParseOptions(argc, argv, options)) return Usage();
  const bool bUrl = options.szKind[0] == KIND_URL;

  SWebRequest request;
  request.eKind = bUrl ? EWebKind::Url : EWebKind::HostIP;
  request.source.strProcessPath = options.szPath;
  request.source.strProgram = options.szName ? options.szName : NameOfPath(options.szPath);
  request.source.strHostIP = options.szIP;
  if (!ReadPort(options.szPort, request.source.nPort)) {
    std::fprintf(stderr, "provider-standin: the port is not a number from 0 to 65535: %s\n", options.szPort);
    return Usage();
  }

  std::string strAddress = bUrl ? std::string() : options.szIP;
  if (bUrl && options.szUrl) strAddress = options.szUrl;
  if (bUrl && options.szHead) {
    std::string strHead;
    if (!ReadHead(options.szHead, strHead)) {
      std::fprintf(stderr, "provider-standin: cannot read the request head from %s\n", options.szHead);
      return kExitUsage;
    }
    strAddress = AddressOfHead(strHead);
    std::printf("request head asks for %s\n", strAddress.empty() ? "no address to check" : strAddress.c_str());
    if (strAddress.empty()) {
      std::printf("nothing sent: the request passes\n");
      return kExitNotListed;
    }
  }
  // The provider's address field holds 260 bytes.
  if (bUrl && strAddress.size() > kMaxUrlBytes) strAddress.resize(kMaxUrlBytes);

  if (!options.bAlways) {
    CLSPGlobals::InitializeAppVars();
    char szChecked[261];
    CopyBounded(szChecked, strAddress.c_str());
    const bool bListed = bUrl ? CLSPGlobals::IsBadUrl(szChecked) : CLSPGlobals::IsBadIP(szChecked);
    if (bUrl) strAddress = szChecked;  // IsBadUrl lower-cased it, as the console will see it
    std::printf("%s %s: %s\n", bUrl ? "address" : "host address", strAddress.c_str(),
                bListed ? (bUrl ? "listed in HostLink or Link" : "listed in HostIP") : "not listed");
    if (!bListed) {
      std::printf("nothing sent: the %s passes\n", bUrl ? "request" : "connection");
      return kExitNotListed;
    }
  }
  if (bUrl) request.strUrl = strAddress;
  return SendToConsole(request);
}
