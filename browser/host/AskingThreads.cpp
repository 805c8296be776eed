// The browser host's asking threads (see AskingThreads.h).
#include "browser/host/AskingThreads.h"

#include <system_error>
#include <thread>

CAskingThreads::~CAskingThreads() {
  std::unique_lock<std::mutex> lock(m_mutex);
  m_bEnding = true;
  m_wake.notify_all();
  m_ended.wait(lock, [this] { return m_nThreads == 0; });
}

bool CAskingThreads::Run(std::function<void()> fnTask) {
  std::unique_lock<std::mutex> lock(m_mutex);
  if (m_nIdle > m_tasks.size()) {
    m_tasks.push_back(std::move(fnTask));
    m_wake.notify_one();
    return true;
  }
  if (m_nThreads < m_nMaxThreads) {
    ++m_nThreads;
    try {
      // The new thread takes the task itself: nothing is queued for a thread the
      // system cannot give.
      std::thread([this, fnFirst = fnTask]() mutable { Work(std::move(fnFirst)); }).detach();
      return true;
    } catch (const std::system_error&) {
      --m_nThreads;
    }
  }
  // Every thread is busy: the task waits for one, unless nobody would ever take it.
  if (m_nThreads == 0 || m_tasks.size() - m_nIdle >= m_nMaxQueued) return false;
  m_tasks.push_back(std::move(fnTask));
  return true;
}

std::size_t CAskingThreads::IdleThreads() const {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_nIdle;
}

void CAskingThreads::Work(std::function<void()> fnFirst) {
  fnFirst();
  fnFirst = nullptr;  // what the task holds goes before the thread waits
  std::unique_lock<std::mutex> lock(m_mutex);
  for (;;) {
    if (!m_tasks.empty()) {
      std::function<void()> fnTask = std::move(m_tasks.front());
      m_tasks.pop_front();
      lock.unlock();
      fnTask();
      fnTask = nullptr;
      lock.lock();
      continue;
    }
    if (m_bEnding) break;
    ++m_nIdle;
    m_wake.wait(lock, [this] { return !m_tasks.empty() || m_bEnding; });
    --m_nIdle;
  }
  --m_nThreads;
  m_ended.notify_all();
}
