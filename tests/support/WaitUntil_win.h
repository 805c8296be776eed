// Waiting in tests for a condition with a deadline, never for a fixed time: a
// test is as fast as the system under test and still ends when it hangs.
#pragma once

#include <windows.h>

#include <functional>

// Checks the condition until it holds or dwTimeoutMs have passed, sleeping briefly
// in between (for work that another thread or process does). True when it held.
bool WaitUntil(const std::function<bool()>& condition, DWORD dwTimeoutMs = 10000);

// The same while serving this thread's messages in between (for work that needs
// this thread's windows).
bool PumpUntil(const std::function<bool()>& condition, DWORD dwTimeoutMs = 10000);
