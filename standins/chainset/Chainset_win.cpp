// Stand-in for the socket-layer provider's installer. It installs nothing; it
// appends its command line to "chainset.log" beside itself, so that a test can see
// that the console started it and with which arguments.
#include <windows.h>

#include <cstdio>
#include <cstring>

#include "shared/OwnedResources_win.h"

int main(int argc, char** argv) {
  char szLog[MAX_PATH + 16] = "";
  const DWORD n = ::GetModuleFileNameA(nullptr, szLog, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return 1;
  char* pSlash = std::strrchr(szLog, '\\');
  std::strcpy(pSlash ? pSlash + 1 : szLog, "chainset.log");
  CFClose log(std::fopen(szLog, "a"));
  if (!log) return 1;
  std::fputs("chainset", log.Get());
  for (int i = 1; i < argc; ++i) std::fprintf(log.Get(), " %s", argv[i]);
  std::fputs("\n", log.Get());
  // A line that did not reach the file is a failed run.
  return std::fflush(log.Get()) == 0 && !std::ferror(log.Get()) ? 0 : 1;
}
