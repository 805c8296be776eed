// Decoding the extension's requests and writing the host's answers (see HostMessages.h).
#include "browser/host/HostMessages.h"

#include <cmath>
#include <utility>

#include "browser/host/HostJson.h"
#include "definitions/DefinitionsLayout.h"
#include "engine/WebAddress.h"
#include "shared/AsciiCase.h"

namespace {

// Ids are whole numbers a double holds exactly.
constexpr double kMaxId = 9007199254740991.0;
constexpr std::size_t kMaxBrowserName = 100;
constexpr std::size_t kMaxHostIP = 45;

CResult Refused(std::string strWhy) {
  return CResult(RESULT_INVALID_PARAMETER, std::move(strWhy));
}

// The member's value, or null when it is missing or null (of a repeated name, the
// last one).
nlohmann::json* Member(nlohmann::json& message, const char* szName) {
  const auto it = message.find(szName);
  return it == message.end() || it->is_null() ? nullptr : &*it;
}

// Moves a text member into *pstr (a mail page's text is megabytes): a missing one
// leaves *pstr as it was unless it is required.
CResult TakeStringMember(nlohmann::json& message, const char* szName, bool bRequired, std::string* pstr) {
  nlohmann::json* pValue = Member(message, szName);
  if (!pValue) return bRequired ? Refused(std::string("\"") + szName + "\" missing") : CResult();
  if (!pValue->is_string()) return Refused(std::string("\"") + szName + "\" is not a text");
  *pstr = std::move(pValue->get_ref<std::string&>());
  return CResult();
}

// A number with no fraction, between dMin and dMax.
bool IsWholeNumber(const nlohmann::json* pValue, double dMin, double dMax) {
  if (!pValue || !pValue->is_number()) return false;
  const double d = pValue->get<double>();
  return d >= dMin && d <= dMax && std::floor(d) == d;
}

bool HasControlCharacter(const std::string& str) {
  for (const char c : str)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return true;
  return false;
}

// A listed entry holds at most this many bytes of path or query, so a longer one
// is compared with its start only, or with nothing.
static_assert(kMaxCheckedPart > kValueSize + 2, "a cut path must stay longer than any listed path");

// Host names reach the definitions and the console's alert as they are: printable
// ASCII (a browser gives punycode) without the characters that end a host in an
// address. Wildcard DNS serves labels such as "a*b", so those are checked too.
bool IsHostName(const std::string& strHost) {
  if (strHost.empty() || strHost.size() > kMaxHostName) return false;
  for (const char c : strHost) {
    const auto b = static_cast<unsigned char>(c);
    if (b <= ' ' || b > '~' || c == '/' || c == '?' || c == '#' || c == '@' || c == '\\') return false;
  }
  return true;
}

// The normal form of a path cut to kMaxCheckedPart bytes: whole segments stay as
// they were, and a cut that leaves "." or ".." at the end drops that piece, since
// normalising again would remove it with the segment before. What remains is
// longer than any listed path and begins as the whole did, so every entry meets
// it as it meets the whole path.
void CutNormalPath(std::string& strPath) {
  if (strPath.size() <= kMaxCheckedPart) return;
  strPath.resize(kMaxCheckedPart);
  const std::size_t nLastSlash = strPath.rfind('/');
  const std::string strLast = strPath.substr(nLastSlash + 1);
  if (strLast == "." || strLast == "..") strPath.resize(nLastSlash + 1);
}

// Path and query in the engine's normal form, bounded (see DecodeHostRequest).
void BoundAddressParts(SHostRequest* pRequest) {
  SWebAddress address;
  address.strPath.swap(pRequest->strPath);
  address.strQuery.swap(pRequest->strQuery);
  SWebAddress normal = NormalizeWebAddress(address);
  CutNormalPath(normal.strPath);
  if (normal.strQuery.size() > kMaxCheckedPart) normal.strQuery.clear();
  pRequest->strPath.swap(normal.strPath);
  pRequest->strQuery.swap(normal.strQuery);
}

CResult DecodeAddress(nlohmann::json& message, SHostRequest* pRequest) {
  std::string strScheme;
  if (CResult result = TakeStringMember(message, "scheme", true, &strScheme); !result.IsOk()) return result;
  for (char& c : strScheme) c = LowerAsciiChar(c);
  if (strScheme != "http" && strScheme != "https") return Refused("only http and https addresses are checked");
  pRequest->bHttps = strScheme == "https";
  if (CResult result = TakeStringMember(message, "host", true, &pRequest->strHost); !result.IsOk()) return result;
  for (char& c : pRequest->strHost) c = LowerAsciiChar(c);
  if (!pRequest->strHost.empty() && pRequest->strHost.back() == '.') pRequest->strHost.pop_back();
  if (!IsHostName(pRequest->strHost)) return Refused("\"host\" is not a host name");
  pRequest->nPort = pRequest->bHttps ? 443 : 80;
  if (const nlohmann::json* pPort = Member(message, "port")) {
    if (!IsWholeNumber(pPort, 1, 65535)) return Refused("\"port\" is not a port number");
    pRequest->nPort = static_cast<unsigned short>(pPort->get<double>());
  }
  for (const auto& [szName, pstr] : {std::pair{"path", &pRequest->strPath}, std::pair{"query", &pRequest->strQuery},
                                     std::pair{"ip", &pRequest->strHostIP}}) {
    if (CResult result = TakeStringMember(message, szName, false, pstr); !result.IsOk()) return result;
  }
  if (!pRequest->strPath.empty() && pRequest->strPath[0] != '/') return Refused("\"path\" does not begin with /");
  if (!pRequest->strQuery.empty() && pRequest->strQuery[0] == '?') pRequest->strQuery.erase(0, 1);
  // A browser escapes them; the engine reads zero-terminated texts.
  if (HasControlCharacter(pRequest->strPath) || HasControlCharacter(pRequest->strQuery))
    return Refused("\"path\" or \"query\" holds control characters");
  BoundAddressParts(pRequest);
  // An address the browser did not know is simply not sent on.
  if (pRequest->strHostIP.size() > kMaxHostIP || HasControlCharacter(pRequest->strHostIP)) pRequest->strHostIP.clear();
  return CResult();
}

// The request of a message whose id was read.
CResult DecodeRequest(nlohmann::json& message, SHostRequest* pRequest) {
  std::string strType;
  if (CResult result = TakeStringMember(message, "type", true, &strType); !result.IsOk()) return result;
  if (strType == "hello") {
    pRequest->eType = EHostRequestType::Hello;
    if (CResult result = TakeStringMember(message, "browser", false, &pRequest->strBrowser); !result.IsOk())
      return result;
    if (pRequest->strBrowser.size() > kMaxBrowserName || HasControlCharacter(pRequest->strBrowser) ||
        pRequest->strBrowser.find_first_of("\\/") != std::string::npos)
      pRequest->strBrowser.clear();
    return CResult();
  }
  if (strType == "address") {
    pRequest->eType = EHostRequestType::Address;
    return DecodeAddress(message, pRequest);
  }
  if (strType == "mail") {
    pRequest->eType = EHostRequestType::Mail;
    if (CResult result = TakeStringMember(message, "text", true, &pRequest->strText); !result.IsOk()) return result;
    return TakeStringMember(message, "html", true, &pRequest->strHtml);
  }
  return Refused("unknown \"type\"");
}

std::string VerdictText(EVerdictAnswer eVerdict) {
  return eVerdict == EVerdictAnswer::Block ? "block" : "allow";
}

}  // namespace

SDecodedRequest DecodeHostRequest(const std::string& strJson) {
  SDecodedRequest decoded;
  CResultOf<nlohmann::json> parsed = ParseHostJson(strJson);
  if (!parsed.IsOk()) {
    decoded.request = parsed.Result();
    return decoded;
  }
  nlohmann::json& message = parsed.Value();
  if (!message.is_object()) {
    decoded.request = Refused("the message is not an object");
    return decoded;
  }
  const nlohmann::json* pId = Member(message, "id");
  if (!IsWholeNumber(pId, 0, kMaxId)) {
    decoded.request = Refused("\"id\" is missing or not a whole number");
    return decoded;
  }
  SHostRequest& request = decoded.request.Value();
  request.nId = static_cast<long long>(pId->get<double>());
  decoded.id = request.nId;
  if (CResult result = DecodeRequest(message, &request); !result.IsOk()) decoded.request = std::move(result);
  return decoded;
}

std::string EncodeErrorReply(std::optional<long long> id, const std::string& strError) {
  CJsonObjectWriter writer;
  if (id)
    writer.Add("id", *id);
  else
    writer.AddNull("id");
  return writer.Add("error", strError).Text();
}

std::string EncodeHelloReply(long long nId, bool bConsole, bool bRequired) {
  return CJsonObjectWriter().Add("id", nId).Add("console", bConsole).Add("required", bRequired).Text();
}

std::string EncodeUnlistedReply(long long nId, bool bConsole) {
  return CJsonObjectWriter()
      .Add("id", nId)
      .Add("listed", false)
      .Add("verdict", "allow")
      .Add("console", bConsole)
      .Text();
}

std::string EncodePendingReply(long long nId) {
  return CJsonObjectWriter().Add("id", nId).Add("listed", true).Add("pending", true).Text();
}

std::string EncodeListedReply(long long nId, EVerdictAnswer eVerdict, bool bConsole, bool bAsked,
                              const std::string& strAddress, const std::string& strProgram) {
  return CJsonObjectWriter()
      .Add("id", nId)
      .Add("listed", true)
      .Add("verdict", VerdictText(eVerdict))
      .Add("console", bConsole)
      .Add("asked", bAsked)
      .Add("address", strAddress)
      .Add("program", strProgram)
      .Text();
}

std::string EncodeMailReply(long long nId, bool bMail, bool bFinding, EVerdictAnswer eVerdict, bool bConsole) {
  return CJsonObjectWriter()
      .Add("id", nId)
      .Add("mail", bMail)
      .Add("finding", bFinding)
      .Add("verdict", VerdictText(eVerdict))
      .Add("console", bConsole)
      .Text();
}

std::string CheckedAddressText(const SHostRequest& request, bool bWithPort) {
  std::string strAddress = request.strHost;
  const unsigned short nOwnPort = request.bHttps ? 443 : 80;
  if (bWithPort && request.nPort != nOwnPort) strAddress += ":" + std::to_string(request.nPort);
  return strAddress + request.strPath;
}
