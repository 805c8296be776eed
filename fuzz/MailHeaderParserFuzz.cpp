// Page texts of any content for the mail header parser, driven in the order the
// browser helper object uses it.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "engine/browser/MailHeaderParser.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t cbData) {
  const std::string strText(reinterpret_cast<const char*>(pData), cbData);  // cut at a zero byte by c_str()
  CMailHeaderParser parser(strText.c_str());
  std::size_t nTotal = 0;
  if (parser.IsMail()) {
    parser.ExtractHeaders();
    nTotal += std::strlen(parser.GetFrom()) + std::strlen(parser.GetTo()) + std::strlen(parser.GetSubject());
    nTotal += std::strlen(parser.GetBody());
    parser.SetBody(strText.c_str());
    nTotal += std::strlen(parser.GetBody()) + std::strlen(parser.GetDate()) + std::strlen(parser.GetAttachment());
  } else {
    parser.ExtractHeaders();
    nTotal += std::strlen(parser.GetSubject()) + std::strlen(parser.GetBody());
  }
  return nTotal == SIZE_MAX ? 1 : 0;
}
