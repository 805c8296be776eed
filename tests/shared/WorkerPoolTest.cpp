// Worker threads: a task never waits behind another while a thread could take it
// (the browser host's question behind an open alert), and a burst beyond the
// threads waits in a bounded queue.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <thread>

#include "shared/WorkerPool.h"

namespace {

// True once bDone() holds, within a deadline.
template <class TDone>
bool Within10s(TDone bDone) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!bDone() && std::chrono::steady_clock::now() < deadline) std::this_thread::yield();
  return bDone();
}

// Tasks that wait until the test opens the gate, and a count of finished ones.
struct SGate {
  std::promise<void> open;
  std::shared_future<void> opened = open.get_future().share();
  std::atomic<int> nFinished{0};

  void Pass() const { opened.wait(); }
  bool WaitForFinished(int nCount) const {
    return Within10s([&] { return nFinished >= nCount; });
  }
};

TEST(WorkerPool, ASecondTaskNeverWaitsBehindOneJustHandedToAnIdleThread) {
  // Many rounds: the fault showed only when the second question came before the
  // woken thread had taken the first.
  for (int nRound = 0; nRound < 20; ++nRound) {
    SGate gate;
    CWorkerPool threads(4, 60000, 4);
    ASSERT_TRUE(threads.Run([&] { ++gate.nFinished; }));
    ASSERT_TRUE(gate.WaitForFinished(1));
    ASSERT_TRUE(Within10s([&] { return threads.IdleThreads() == 1; })) << threads.IdleThreads() << " idle threads";
    ASSERT_TRUE(threads.Run([&] { gate.Pass(); }));  // an alert the user leaves open
    ASSERT_TRUE(threads.Run([&] { ++gate.nFinished; }));
    const bool bAnswered = gate.WaitForFinished(2);
    gate.open.set_value();
    ASSERT_TRUE(threads.WaitUntilIdle(10000));  // the threads hold the gate until then
    ASSERT_TRUE(bAnswered) << "round " << nRound << ": the second task waited behind the first";
  }
}

TEST(WorkerPool, TasksBeyondTheThreadsWaitInABoundedQueue) {
  SGate gate;
  CWorkerPool threads(2, 60000, 3);
  const auto question = [&] {
    gate.Pass();
    ++gate.nFinished;
  };
  for (int i = 0; i < 5; ++i) EXPECT_TRUE(threads.Run(question)) << "question " << i;
  EXPECT_FALSE(threads.Run([] {})) << "a question beyond the queue";
  gate.open.set_value();
  EXPECT_TRUE(gate.WaitForFinished(5)) << "a queued task was lost";
  EXPECT_TRUE(threads.WaitUntilIdle(10000));
}

}  // namespace
