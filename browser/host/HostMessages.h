// What the extension asks the browser host and what the host answers, decoded
// once from the JSON of a frame into typed values and written back as JSON.
//
// Requests (every one carries a number "id" that its answers repeat):
//   {"type":"hello","browser":"chrome.exe"}           -> {"id","console","required"}
//   {"type":"address","scheme":"https","host":"h","port":443,"path":"/p","query":"q","ip":"a.b.c.d"}
//      -> {"id","listed":false,"verdict":"allow","console"} for an unlisted address, or
//         {"id","listed":true,"pending":true} at once and later
//         {"id","listed":true,"verdict","console","asked","address","program"}
//      Every well-formed http(s) address gets a verdict, however long. A listed one
//      is "block" unless the console answered Allow: "asked" is false when no
//      console runs, it did not answer, or too many questions already wait.
//   {"type":"mail","text":"page text","html":"page HTML"} -> {"id","mail","finding","verdict","console"}
//      (a finding no console could decide is "block")
//   anything unreadable                               -> {"id" or null,"error":"what was wrong"}
// "console" says whether the console runs; "required" whether an administrator
// requires the extension (the policy "ExtensionRequired"). The extension shows an error answer to
// an address question as blocked: a page controls its address.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "shared/Result.h"

constexpr std::size_t kMaxHostName = 253;
// The path and the query are kept in their normal form and, when longer, cut to
// this many bytes in a way that meets the definitions exactly as the whole would
// (see DecodeHostRequest); listed entries are far shorter.
constexpr std::size_t kMaxCheckedPart = 1024;

enum class EHostRequestType { Hello, Address, Mail };

struct SHostRequest {
  EHostRequestType eType = EHostRequestType::Hello;
  long long nId = 0;
  std::string strBrowser;        // hello: the program name the extension reports
  bool bHttps = false;           // address
  std::string strHost;           // address: lower case, no trailing dot
  unsigned short nPort = 0;      // address: the port the connection goes to
  std::string strPath;           // address: "" or beginning with "/", in the normal form
  std::string strQuery;          // address: without its "?", in the normal form
  std::string strHostIP;         // address: the host's address when the browser knew it
  std::string strText, strHtml;  // mail: the page's visible text and its HTML (UTF-8)
};

// What one frame asked: the id its answers repeat, when one could be read (also
// when the rest could not, so that the error names the request), and the request,
// or the failure that says what was wrong with the frame. An address's path and
// query are normalised as the engine compares them; a path longer than
// kMaxCheckedPart keeps its start (a listed page can meet a longer path only
// there), a longer query is dropped (it can equal no listed query).
struct SDecodedRequest {
  std::optional<long long> id;
  CResultOf<SHostRequest> request{SHostRequest()};
};
SDecodedRequest DecodeHostRequest(const std::string& strJson);

enum class EVerdictAnswer { Allow, Block };

// id: the request's, when it is known.
std::string EncodeErrorReply(std::optional<long long> id, const std::string& strError);
std::string EncodeHelloReply(long long nId, bool bConsole, bool bRequired);
std::string EncodeUnlistedReply(long long nId, bool bConsole);
std::string EncodePendingReply(long long nId);
// strAddress: the address as the console was asked about it; strProgram: the
// program it was told about.
// bAsked: the console decided (else the verdict is Block).
std::string EncodeListedReply(long long nId, EVerdictAnswer eVerdict, bool bConsole, bool bAsked,
                              const std::string& strAddress, const std::string& strProgram);
std::string EncodeMailReply(long long nId, bool bMail, bool bFinding, EVerdictAnswer eVerdict, bool bConsole);

// "host/path" or "host:port/path" as the definitions are asked about it: host
// and path as given, the port only when it is not the scheme's own.
std::string CheckedAddressText(const SHostRequest& request, bool bWithPort);
