// A bounded set of threads that serve the proxy's connections: a thread that
// has served one waits a while for the next instead of ending, so a new
// connection does not pay for a new thread (under Wine some milliseconds).
#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>

class CWorkerPool {
 public:
  // At most nMaxWorkers threads; one idle for nIdleExitMs ends.
  CWorkerPool(std::size_t nMaxWorkers, unsigned nIdleExitMs);
  // Idle threads end; busy ones end after their task (they are not waited for).
  ~CWorkerPool();
  CWorkerPool(const CWorkerPool&) = delete;
  CWorkerPool& operator=(const CWorkerPool&) = delete;

  // Runs fnTask on an idle thread or a new one. False when every thread is busy
  // and no more may be (or the system gives none); fnTask is then dropped.
  bool Run(std::function<void()> fnTask);
  std::size_t Threads() const;
  // Threads waiting for a task.
  std::size_t IdleThreads() const;

 private:
  // Shared with the threads, which may outlive the pool.
  struct SState {
    mutable std::mutex mutex;
    std::condition_variable wake;
    std::deque<std::function<void()>> tasks;
    std::size_t nThreads = 0;
    std::size_t nIdle = 0;
    bool bEnding = false;
  };
  static void Work(const std::shared_ptr<SState>& pState, unsigned nIdleExitMs);

  const std::size_t m_nMaxWorkers;
  const unsigned m_nIdleExitMs;
  std::shared_ptr<SState> m_pState;
};
