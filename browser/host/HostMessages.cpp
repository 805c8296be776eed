// Decoding the extension's requests and writing the host's answers (see HostMessages.h).
#include "browser/host/HostMessages.h"

#include <cmath>

#include "browser/host/HostJson.h"
#include "definitions/DefinitionsLayout.h"
#include "engine/WebAddress.h"

namespace {

// Ids are whole numbers a double holds exactly.
constexpr double kMaxId = 9007199254740991.0;
constexpr std::size_t kMaxBrowserName = 100;
constexpr std::size_t kMaxHostIP = 45;

bool StringMember(const SJsonValue& message, const char* szName, bool bRequired, std::string* pstr,
                  std::string* pstrError) {
  const SJsonValue* pValue = message.Find(szName);
  if (!pValue || pValue->eType == SJsonValue::EType::Null) {
    if (bRequired) *pstrError = std::string("\"") + szName + "\" missing";
    return !bRequired;
  }
  if (pValue->eType != SJsonValue::EType::String) {
    *pstrError = std::string("\"") + szName + "\" is not a text";
    return false;
  }
  *pstr = pValue->strValue;
  return true;
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

bool DecodeAddress(const SJsonValue& message, SHostRequest* pRequest, std::string* pstrError) {
  std::string strScheme;
  if (!StringMember(message, "scheme", true, &strScheme, pstrError)) return false;
  for (char& c : strScheme) c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
  if (strScheme != "http" && strScheme != "https") {
    *pstrError = "only http and https addresses are checked";
    return false;
  }
  pRequest->bHttps = strScheme == "https";
  if (!StringMember(message, "host", true, &pRequest->strHost, pstrError)) return false;
  for (char& c : pRequest->strHost) c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
  if (!pRequest->strHost.empty() && pRequest->strHost.back() == '.') pRequest->strHost.pop_back();
  if (!IsHostName(pRequest->strHost)) {
    *pstrError = "\"host\" is not a host name";
    return false;
  }
  pRequest->nPort = pRequest->bHttps ? 443 : 80;
  if (const SJsonValue* pPort = message.Find("port"); pPort && pPort->eType != SJsonValue::EType::Null) {
    const double d = pPort->dValue;
    if (pPort->eType != SJsonValue::EType::Number || !(d >= 1 && d <= 65535) || std::floor(d) != d) {
      *pstrError = "\"port\" is not a port number";
      return false;
    }
    pRequest->nPort = static_cast<unsigned short>(d);
  }
  if (!StringMember(message, "path", false, &pRequest->strPath, pstrError) ||
      !StringMember(message, "query", false, &pRequest->strQuery, pstrError) ||
      !StringMember(message, "ip", false, &pRequest->strHostIP, pstrError))
    return false;
  if (!pRequest->strPath.empty() && pRequest->strPath[0] != '/') {
    *pstrError = "\"path\" does not begin with /";
    return false;
  }
  if (!pRequest->strQuery.empty() && pRequest->strQuery[0] == '?') pRequest->strQuery.erase(0, 1);
  // A browser escapes them; the engine reads zero-terminated texts.
  if (HasControlCharacter(pRequest->strPath) || HasControlCharacter(pRequest->strQuery)) {
    *pstrError = "\"path\" or \"query\" holds control characters";
    return false;
  }
  BoundAddressParts(pRequest);
  // An address the browser did not know is simply not sent on.
  if (pRequest->strHostIP.size() > kMaxHostIP || HasControlCharacter(pRequest->strHostIP)) pRequest->strHostIP.clear();
  return true;
}

std::string VerdictText(EVerdictAnswer eVerdict) {
  return eVerdict == EVerdictAnswer::Block ? "block" : "allow";
}

}  // namespace

bool DecodeHostRequest(const std::string& strJson, SHostRequest* pRequest, std::string* pstrError) {
  *pRequest = SHostRequest();
  SJsonValue message;
  if (!ParseJson(strJson, &message, pstrError)) return false;
  if (message.eType != SJsonValue::EType::Object) {
    *pstrError = "the message is not an object";
    return false;
  }
  const SJsonValue* pId = message.Find("id");
  if (!pId || pId->eType != SJsonValue::EType::Number || !(pId->dValue >= 0 && pId->dValue <= kMaxId) ||
      std::floor(pId->dValue) != pId->dValue) {
    *pstrError = "\"id\" is missing or not a whole number";
    return false;
  }
  pRequest->nId = static_cast<long long>(pId->dValue);
  pRequest->bHasId = true;
  std::string strType;
  if (!StringMember(message, "type", true, &strType, pstrError)) return false;
  if (strType == "hello") {
    pRequest->eType = EHostRequestType::Hello;
    if (!StringMember(message, "browser", false, &pRequest->strBrowser, pstrError)) return false;
    if (pRequest->strBrowser.size() > kMaxBrowserName || HasControlCharacter(pRequest->strBrowser) ||
        pRequest->strBrowser.find_first_of("\\/") != std::string::npos)
      pRequest->strBrowser.clear();
    return true;
  }
  if (strType == "address") {
    pRequest->eType = EHostRequestType::Address;
    return DecodeAddress(message, pRequest, pstrError);
  }
  if (strType == "mail") {
    pRequest->eType = EHostRequestType::Mail;
    return StringMember(message, "text", true, &pRequest->strText, pstrError) &&
           StringMember(message, "html", true, &pRequest->strHtml, pstrError);
  }
  *pstrError = "unknown \"type\"";
  return false;
}

std::string EncodeErrorReply(const SHostRequest& request, const std::string& strError) {
  CJsonObjectWriter writer;
  if (request.bHasId)
    writer.Add("id", request.nId);
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
