// The browser host's asking threads: a question never waits behind another while
// a thread could take it, and a burst beyond the threads waits in a bounded queue.
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "browser/host/AskingThreads.h"

namespace {

// Tasks that wait until the test opens the gate, and a count of finished ones.
class CGate {
 public:
  void Open() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_bOpen = true;
    m_changed.notify_all();
  }
  void Pass() {
    std::unique_lock<std::mutex> lock(m_mutex);
    m_changed.wait(lock, [this] { return m_bOpen; });
  }
  void Finish() {
    std::lock_guard<std::mutex> lock(m_mutex);
    ++m_nFinished;
    m_changed.notify_all();
  }
  // True once nCount tasks finished, within a deadline.
  bool WaitForFinished(int nCount) {
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_changed.wait_for(lock, std::chrono::seconds(10), [&] { return m_nFinished >= nCount; });
  }

 private:
  std::mutex m_mutex;
  std::condition_variable m_changed;
  bool m_bOpen = false;
  int m_nFinished = 0;
};

TEST(AskingThreads, ASecondQuestionNeverWaitsBehindOneJustHandedToAnIdleThread) {
  // Many rounds: the fault showed only when the second question came before the
  // woken thread had taken the first.
  for (int nRound = 0; nRound < 20; ++nRound) {
    CGate gate;
    CAskingThreads threads(4, 4);
    ASSERT_TRUE(threads.Run([&] { gate.Finish(); }));
    ASSERT_TRUE(gate.WaitForFinished(1));
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (threads.IdleThreads() != 1 && std::chrono::steady_clock::now() < deadline) std::this_thread::yield();
    ASSERT_EQ(1u, threads.IdleThreads());
    ASSERT_TRUE(threads.Run([&] { gate.Pass(); }));  // an alert the user leaves open
    ASSERT_TRUE(threads.Run([&] { gate.Finish(); }));
    const bool bAnswered = gate.WaitForFinished(2);
    gate.Open();
    ASSERT_TRUE(bAnswered) << "round " << nRound << ": the second question waited behind the first";
  }
}

TEST(AskingThreads, QuestionsBeyondTheThreadsWaitInABoundedQueue) {
  CGate gate;
  CAskingThreads threads(2, 3);
  const auto question = [&] {
    gate.Pass();
    gate.Finish();
  };
  for (int i = 0; i < 5; ++i) EXPECT_TRUE(threads.Run(question)) << "question " << i;
  EXPECT_FALSE(threads.Run([] {})) << "a question beyond the queue";
  gate.Open();
  EXPECT_TRUE(gate.WaitForFinished(5)) << "a queued question was lost";
}

}  // namespace
