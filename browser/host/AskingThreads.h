// The threads that ask the console for the browser host. A question may wait for
// the user's answer to an alert for minutes, so each runs on a thread of its own,
// up to a bound; the threads are kept for the next question (a new thread's first
// cross-process message costs Wine about 20 ms, a kept one's a fraction of that).
// Beyond the bound, questions wait in a bounded queue for the first free thread.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>

class CAskingThreads {
 public:
  CAskingThreads(std::size_t nMaxThreads, std::size_t nMaxQueued)
      : m_nMaxThreads(nMaxThreads), m_nMaxQueued(nMaxQueued) {}
  // Idle threads end; waits for busy ones to finish their task.
  ~CAskingThreads();
  CAskingThreads(const CAskingThreads&) = delete;
  CAskingThreads& operator=(const CAskingThreads&) = delete;

  // Runs fnTask on an idle thread, on a new one, or after the tasks queued before
  // it. False when the queue is full (or the system gives no thread at all): the
  // caller answers the question itself.
  bool Run(std::function<void()> fnTask);
  // Threads waiting for a task.
  std::size_t IdleThreads() const;

 private:
  void Work(std::function<void()> fnFirst);

  const std::size_t m_nMaxThreads;
  const std::size_t m_nMaxQueued;
  mutable std::mutex m_mutex;
  std::condition_variable m_wake;   // a task was queued, or the threads are to end
  std::condition_variable m_ended;  // a thread ended
  std::deque<std::function<void()>> m_tasks;
  std::size_t m_nThreads = 0;
  // Threads waiting for a task. A woken one counts as idle until it has taken its
  // task, so a task is handed to an idle thread only while more threads are idle
  // than tasks are queued: a second question never queues behind a first one
  // whose thread has not woken yet.
  std::size_t m_nIdle = 0;
  bool m_bEnding = false;
};
