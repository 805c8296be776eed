// Worker threads (see WorkerPool.h).
#include "shared/WorkerPool.h"

#include <chrono>
#include <system_error>
#include <thread>

CWorkerPool::CWorkerPool(std::size_t nMaxWorkers, unsigned nIdleExitMs, std::size_t nMaxQueued)
    : m_nMaxWorkers(nMaxWorkers),
      m_nIdleExitMs(nIdleExitMs),
      m_nMaxQueued(nMaxQueued),
      m_pState(std::make_shared<SState>()) {}

CWorkerPool::~CWorkerPool() {
  std::lock_guard<std::mutex> lock(m_pState->mutex);
  m_pState->bEnding = true;
  m_pState->wake.notify_all();
}

bool CWorkerPool::Run(std::function<void()> fnTask) {
  {
    std::lock_guard<std::mutex> lock(m_pState->mutex);
    SState& state = *m_pState;
    if (state.nIdle > state.tasks.size()) {
      state.tasks.push_back(std::move(fnTask));
      state.wake.notify_one();
      return true;
    }
    if (state.nThreads >= m_nMaxWorkers) {
      // Every thread is busy: the task waits for one, while the queue has room.
      if (state.tasks.size() - state.nIdle >= m_nMaxQueued) return false;
      state.tasks.push_back(std::move(fnTask));
      return true;
    }
    ++state.nThreads;
  }
  // A new thread takes the task itself, so a thread the system cannot give
  // leaves nothing queued behind.
  try {
    std::thread([pState = m_pState, nIdleExitMs = m_nIdleExitMs, fnFirst = std::move(fnTask)]() mutable {
      fnFirst();
      fnFirst = nullptr;
      Work(pState, nIdleExitMs);
    }).detach();
    return true;
  } catch (const std::system_error&) {
    std::lock_guard<std::mutex> lock(m_pState->mutex);
    --m_pState->nThreads;
    m_pState->idle.notify_all();
    return false;
  }
}

std::size_t CWorkerPool::Threads() const {
  std::lock_guard<std::mutex> lock(m_pState->mutex);
  return m_pState->nThreads;
}

std::size_t CWorkerPool::IdleThreads() const {
  std::lock_guard<std::mutex> lock(m_pState->mutex);
  return m_pState->nIdle;
}

bool CWorkerPool::WaitUntilIdle(unsigned nMaxWaitMs) const {
  std::unique_lock<std::mutex> lock(m_pState->mutex);
  const SState& state = *m_pState;
  return state.idle.wait_for(lock, std::chrono::milliseconds(nMaxWaitMs),
                             [&state] { return state.tasks.empty() && state.nIdle == state.nThreads; });
}

void CWorkerPool::Work(const std::shared_ptr<SState>& pState, unsigned nIdleExitMs) {
  std::unique_lock<std::mutex> lock(pState->mutex);
  for (;;) {
    if (!pState->tasks.empty()) {
      std::function<void()> fnTask = std::move(pState->tasks.front());
      pState->tasks.pop_front();
      lock.unlock();
      fnTask();
      fnTask = nullptr;  // what the task holds goes before the thread waits again
      lock.lock();
      continue;
    }
    if (pState->bEnding) break;
    ++pState->nIdle;
    pState->idle.notify_all();
    const bool bWoken = pState->wake.wait_for(lock, std::chrono::milliseconds(nIdleExitMs),
                                              [&] { return !pState->tasks.empty() || pState->bEnding; });
    --pState->nIdle;
    if (!bWoken) break;
  }
  --pState->nThreads;
  pState->idle.notify_all();
}
