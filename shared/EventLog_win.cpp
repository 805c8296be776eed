#include "shared/EventLog_win.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

#include "shared/OwnedResources_win.h"

namespace {

constexpr const wchar_t* kEventSourceName = L"Hookwarden";
constexpr std::size_t kMaxQueuedEvents = 256;

struct SEventQueue {
  std::mutex mutex;
  std::condition_variable queued;
  std::condition_variable idle;
  std::deque<SEventLogEntry> entries;
  bool bWriting = false;
  bool bThreadStarted = false;
};

// Never destroyed: the writer thread may still run while the program ends.
SEventQueue& Queue() {
  static SEventQueue* pQueue = new SEventQueue;
  return *pQueue;
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

void WriteQueuedEvents() {
  SEventQueue& queue = Queue();
  CDeregisterEventSource source;
  std::unique_lock<std::mutex> lock(queue.mutex);
  for (;;) {
    queue.queued.wait(lock, [&queue] { return !queue.entries.empty(); });
    SEventLogEntry entry = std::move(queue.entries.front());
    queue.entries.pop_front();
    queue.bWriting = true;
    lock.unlock();
    try {
      // Registered at the first event and again after a failure.
      if (!source) source.Reset(::RegisterEventSourceW(nullptr, kEventSourceName));
      if (source) Report(source.Get(), entry);
    } catch (...) {  // out of memory for the wide texts: this event is lost
    }
    lock.lock();
    queue.bWriting = false;
    if (queue.entries.empty()) queue.idle.notify_all();
  }
}

}  // namespace

void WriteEventLog(SEventLogEntry entry) noexcept {
  try {
    SEventQueue& queue = Queue();
    std::lock_guard<std::mutex> lock(queue.mutex);
    if (queue.entries.size() >= kMaxQueuedEvents) return;
    if (!queue.bThreadStarted) {
      std::thread(WriteQueuedEvents).detach();
      queue.bThreadStarted = true;
    }
    queue.entries.push_back(std::move(entry));
    queue.queued.notify_one();
  } catch (...) {  // no thread or no memory: the event is lost, the caller goes on
  }
}

void FlushEventLog(unsigned long dwMaxWaitMs) noexcept {
  try {
    SEventQueue& queue = Queue();
    std::unique_lock<std::mutex> lock(queue.mutex);
    if (!queue.bThreadStarted) return;
    queue.idle.wait_for(lock, std::chrono::milliseconds(dwMaxWaitMs),
                        [&queue] { return queue.entries.empty() && !queue.bWriting; });
  } catch (...) {
  }
}
