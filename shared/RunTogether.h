// Runs run(0) to run(nRuns - 1) at once: each on a thread of its own, run(0) on
// the caller's, which returns when all have. Where no thread can be started, the
// caller runs the runs left itself, so every run runs once.
#pragma once

#include <cstddef>
#include <system_error>
#include <thread>
#include <vector>

template <typename FRun>
void RunTogether(std::size_t nRuns, const FRun& run) {
  std::vector<std::thread> threads;
  std::size_t nStarted = 1;
  try {
    for (; nStarted < nRuns; ++nStarted) threads.emplace_back([&run, nStarted] { run(nStarted); });
  } catch (const std::system_error&) {
    for (std::size_t n = nStarted; n < nRuns; ++n) run(n);
  }
  if (nRuns > 0) run(0);
  for (std::thread& thread : threads) thread.join();
}
