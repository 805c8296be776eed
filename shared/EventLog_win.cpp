#include "shared/EventLog_win.h"

#include <string>
#include <vector>

#include "shared/OwnedResources_win.h"
#include "shared/WorkerPool.h"

namespace {

constexpr const wchar_t* kEventSourceName = L"Hookwarden";
constexpr std::size_t kMaxQueuedEvents = 256;
constexpr unsigned kWriterIdleMs = 30 * 1000;

// One writer thread, kept a while between events, in front of at most
// kMaxQueuedEvents waiting ones. Never destroyed: the writer may still run while
// the program ends.
CWorkerPool& Writer() {
  static CWorkerPool* pWriter = new CWorkerPool(1, kWriterIdleMs, kMaxQueuedEvents);
  return *pWriter;
}

WORD EventType(EEventLogType eType) {
  switch (eType) {
    case EEventLogType::Success:
      return EVENTLOG_SUCCESS;
    case EEventLogType::Information:
      return EVENTLOG_INFORMATION_TYPE;
    case EEventLogType::Warning:
      return EVENTLOG_WARNING_TYPE;
    case EEventLogType::Error:
      break;
  }
  return EVENTLOG_ERROR_TYPE;
}

// The console's texts are in the system's code page, as its windows show them.
std::wstring Wide(const std::string& strText) {
  if (strText.empty()) return std::wstring();
  const int cch = ::MultiByteToWideChar(CP_ACP, 0, strText.data(), static_cast<int>(strText.size()), nullptr, 0);
  if (cch <= 0) return std::wstring();
  std::wstring strWide(static_cast<std::size_t>(cch), L'\0');
  ::MultiByteToWideChar(CP_ACP, 0, strText.data(), static_cast<int>(strText.size()), strWide.data(), cch);
  return strWide;
}

void Report(HANDLE hSource, const SEventLogEntry& entry) {
  std::vector<std::wstring> inserts;
  std::vector<LPCWSTR> pointers;
  for (const std::string& strInsert : entry.inserts) inserts.push_back(Wide(strInsert));
  for (const std::wstring& strInsert : inserts) pointers.push_back(strInsert.c_str());
  static_cast<void>(::ReportEventW(hSource, EventType(entry.Type()), 0, entry.dwEventId, nullptr,
                                   static_cast<WORD>(pointers.size()), 0, pointers.empty() ? nullptr : pointers.data(),
                                   nullptr));
}

// On the writer thread alone: the source is registered at the first event and
// again after a failure, and kept for the program's life, as the writer is.
void Write(const SEventLogEntry& entry) {
  static CDeregisterEventSource& source = *new CDeregisterEventSource;
  try {
    if (!source) source.Reset(::RegisterEventSourceW(nullptr, kEventSourceName));
    if (source) Report(source.Get(), entry);
  } catch (...) {  // out of memory for the wide texts: this event is lost
  }
}

}  // namespace

void WriteEventLog(SEventLogEntry entry) noexcept {
  try {
    // A full queue, no thread or no memory: the event is lost, the caller goes on.
    static_cast<void>(Writer().Run([entry = std::move(entry)] { Write(entry); }));
  } catch (...) {
  }
}

void FlushEventLog(unsigned long dwMaxWaitMs) noexcept {
  try {
    static_cast<void>(Writer().WaitUntilIdle(static_cast<unsigned>(dwMaxWaitMs)));
  } catch (...) {
  }
}
