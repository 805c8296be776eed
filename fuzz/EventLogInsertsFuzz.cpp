// The event log's inserts on any address, sender or subject a page or a mail
// brings: one line each, no "%" other than the escaped "%25", at most the
// insert limit, and the whole value kept when it fits.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "shared/EventLogEntries.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t cbData) {
  const std::string strValue(reinterpret_cast<const char*>(pData), cbData);
  SMailEventFacts facts;
  facts.strSubject = strValue;
  const SEventLogEntry entry = AlertAnsweredEvent(facts, false, false);
  const std::string& strInsert = entry.inserts.at(3);
  if (strInsert.size() > kMaxEventInsertBytes) std::abort();
  for (std::size_t i = 0; i < strInsert.size(); ++i) {
    const auto by = static_cast<unsigned char>(strInsert[i]);
    if (by < 0x20 || by == 0x7F) std::abort();
    if (by == '%' && strInsert.compare(i, 3, "%25") != 0) std::abort();
  }
  // A value whose escaped form fits is kept whole (an empty one is "-").
  std::size_t cbEscaped = strValue.size();
  for (const char ch : strValue) cbEscaped += ch == '%' ? 2 : 0;
  if (!strValue.empty() && cbEscaped <= kMaxEventInsertBytes && strInsert.size() != cbEscaped) std::abort();
  return 0;
}
