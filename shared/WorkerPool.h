// A bounded set of threads that run tasks: a thread that has run one waits a
// while for the next instead of ending, so a task does not pay for a new thread
// (under Wine some milliseconds; a new thread's first cross-process message about
// 20 ms more). A task goes to an idle thread only while more threads are idle
// than tasks are queued, so a task never waits behind one whose woken thread has
// not taken it yet; beyond the threads, tasks may wait in a bounded queue.
// Used by the web guard for its connections, by the browser host for questions
// that wait for the console, and by the event log's writer.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>

class CWorkerPool {
 public:
  // At most nMaxWorkers threads; one idle for nIdleExitMs ends. With every thread
  // busy, up to nMaxQueued tasks wait for one.
  CWorkerPool(std::size_t nMaxWorkers, unsigned nIdleExitMs, std::size_t nMaxQueued = 0);
  // Idle threads end; busy ones end after their tasks (they are not waited for).
  ~CWorkerPool();
  CWorkerPool(const CWorkerPool&) = delete;
  CWorkerPool& operator=(const CWorkerPool&) = delete;

  // Runs fnTask on an idle thread, a new one, or after the tasks queued before it.
  // False when every thread is busy, no more may be and the queue is full (or the
  // system gives no thread at all); fnTask is then dropped.
  bool Run(std::function<void()> fnTask);
  std::size_t Threads() const;
  // Threads waiting for a task.
  std::size_t IdleThreads() const;
  // True once no task is queued or running, within nMaxWaitMs.
  bool WaitUntilIdle(unsigned nMaxWaitMs) const;

 private:
  // Shared with the threads, which may outlive the pool.
  struct SState {
    mutable std::mutex mutex;
    std::condition_variable wake;          // a task was queued, or the threads are to end
    mutable std::condition_variable idle;  // a thread found nothing more to do
    std::deque<std::function<void()>> tasks;
    std::size_t nThreads = 0;
    std::size_t nIdle = 0;
    bool bEnding = false;
  };
  static void Work(const std::shared_ptr<SState>& pState, unsigned nIdleExitMs);

  const std::size_t m_nMaxWorkers;
  const unsigned m_nIdleExitMs;
  const std::size_t m_nMaxQueued;
  std::shared_ptr<SState> m_pState;
};
