// UpToDateUpdate.exe: put in the place of Update.exe in the benchmark's copy of the
// application folder, it answers a check as the real one does when the installed
// definitions are the newest: one line, exit code "up to date". The console then
// stores the time of the check, as after any check that got an answer. While
// ConsoleBench.exe holds the event kBenchCheckEvent unset, the answer waits, so
// that the benchmark decides when the check ends.
#include <windows.h>

#include <cstdio>

#include "bench/BenchUpdateCheck.h"
#include "updater/UpdateProgram.h"

int main() {
  if (const HANDLE hAnswer = ::OpenEventA(SYNCHRONIZE, FALSE, kBenchCheckEvent)) {
    ::WaitForSingleObject(hAnswer, kBenchCheckWaitMs);
    ::CloseHandle(hAnswer);
  }
  std::puts("The definitions are up to date.");
  return kUpdateUpToDate;
}
