// UpToDateUpdate.exe: put in the place of Update.exe in the benchmark's copy of the
// application folder, it answers every check at once as the real one does when the
// installed definitions are the newest: one line, exit code "up to date". The
// console then stores the time of the check, as after any check that got an answer.
#include <cstdio>

#include "updater/UpdateProgram.h"

int main() {
  std::puts("The definitions are up to date.");
  return kUpdateUpToDate;
}
