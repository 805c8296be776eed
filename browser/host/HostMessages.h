// What the extension asks the browser host and what the host answers, decoded
// once from the JSON of a frame into typed values and written back as JSON.
//
// Requests (every one carries a number "id" that its answers repeat):
//   {"type":"hello","browser":"chrome.exe"}           -> {"id","console"}
//   {"type":"address","scheme":"https","host":"h","port":443,"path":"/p","query":"q","ip":"a.b.c.d"}
//      -> {"id","listed":false,"verdict":"allow","console"} for an unlisted address, or
//         {"id","listed":true,"pending":true} at once and later {"id","listed":true,"verdict",...}
//   {"type":"mail","text":"page text","html":"page HTML"} -> {"id","mail","finding","verdict","console"}
//   anything unreadable                               -> {"id" or null,"error":"what was wrong"}
#pragma once

#include <cstddef>
#include <string>

// Bounds on the address parts: no real address comes close.
constexpr std::size_t kMaxHostName = 253;
constexpr std::size_t kMaxPathBytes = 16 * 1024;

enum class EHostRequestType { Hello, Address, Mail };

struct SHostRequest {
  EHostRequestType eType = EHostRequestType::Hello;
  long long nId = 0;
  bool bHasId = false;           // set as soon as the id is read, so that errors can name it
  std::string strBrowser;        // hello: the program name the extension reports
  bool bHttps = false;           // address
  std::string strHost;           // address: lower case, no trailing dot
  unsigned short nPort = 0;      // address: the port the connection goes to
  std::string strPath;           // address: "" or beginning with "/"
  std::string strQuery;          // address: without its "?"
  std::string strHostIP;         // address: the host's address when the browser knew it
  std::string strText, strHtml;  // mail: the page's visible text and its HTML (UTF-8)
};

// True with *pRequest filled; false with *pstrError saying what was wrong (and
// pRequest->bHasId/nId set when the id could be read).
bool DecodeHostRequest(const std::string& strJson, SHostRequest* pRequest, std::string* pstrError);

enum class EVerdictAnswer { Allow, Block };

std::string EncodeErrorReply(const SHostRequest& request, const std::string& strError);
std::string EncodeHelloReply(long long nId, bool bConsole);
std::string EncodeUnlistedReply(long long nId, bool bConsole);
std::string EncodePendingReply(long long nId);
// strAddress: the address as the console was asked about it; strProgram: the
// program it was told about.
std::string EncodeListedReply(long long nId, EVerdictAnswer eVerdict, bool bConsole, const std::string& strAddress,
                              const std::string& strProgram);
std::string EncodeMailReply(long long nId, bool bMail, bool bFinding, EVerdictAnswer eVerdict, bool bConsole);

// "host/path" or "host:port/path" as the definitions are asked about it: host
// and path as given, the port only when it is not the scheme's own.
std::string CheckedAddressText(const SHostRequest& request, bool bWithPort);
