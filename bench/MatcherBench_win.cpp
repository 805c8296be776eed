// Time per call of every exported matcher over working definitions files, with the
// match at the first entry, the middle entry and no entry; and of GetUrl. Each
// case is run repeatedly and reported by its fastest and its median run.
//
//   MatcherBench --plain N FILE          write the plain list of N entries per list
//   MatcherBench N FILE [N FILE ...]     time the matchers over those working files
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "bench/BenchLists.h"
#include "engine/LSPGlobals.h"
#include "shared/BoundedCopy.h"

namespace {

constexpr int kRuns = 15;                 // runs per case
constexpr double kMinRunSeconds = 0.002;  // a run repeats the call until it takes this long
constexpr double kCaseBudgetSeconds = 4;  // slow cases stop after this, with at least kMinRuns
constexpr int kMinRuns = 5;

double Now() {
  static const double dFrequency = [] {
    LARGE_INTEGER frequency;
    ::QueryPerformanceFrequency(&frequency);
    return static_cast<double>(frequency.QuadPart);
  }();
  LARGE_INTEGER counter;
  ::QueryPerformanceCounter(&counter);
  return static_cast<double>(counter.QuadPart) / dFrequency;
}

// One call of the matcher; returns its answer so that it cannot be left out.
bool CallMatcher(EBenchMatcher matcher, const std::string& strQuery) {
  char szOut1[261];
  char szOut2[261];
  switch (matcher) {
    case EBenchMatcher::HostIP:
      return CLSPGlobals::IsBadIP(strQuery.c_str());
    case EBenchMatcher::Url: {
      char szLink[261];
      CopyBounded(szLink, strQuery.c_str());
      return CLSPGlobals::IsBadUrl(szLink);
    }
    case EBenchMatcher::MailFrom:
      return CLSPGlobals::IsBadMailFrom(strQuery.c_str());
    case EBenchMatcher::MailSubject:
      return CLSPGlobals::IsBadMailSubject(strQuery.c_str());
    case EBenchMatcher::MailLinks:
      return CLSPGlobals::IsBadMailLinks(strQuery.c_str(), szOut1);
    case EBenchMatcher::VisibleMailLinks:
      return CLSPGlobals::IsBadVisibleMailLinks(strQuery.c_str(), szOut1, szOut2);
    case EBenchMatcher::MailText:
      return CLSPGlobals::IsBadMailText(strQuery.c_str(), szOut1);
  }
  return false;
}

struct CTiming {
  int nRuns = 0;
  int nCallsPerRun = 0;
  double dMinSeconds = 0;     // per call
  double dMedianSeconds = 0;  // per call
};

// Runs fnCall in batches: first finds how many calls make a run of kMinRunSeconds,
// then times the runs.
template <typename TCall>
CTiming Measure(TCall fnCall) {
  CTiming timing;
  int nCalls = 1;
  for (;;) {
    const double dStart = Now();
    for (int i = 0; i < nCalls; ++i) fnCall();
    if (Now() - dStart >= kMinRunSeconds || nCalls >= (1 << 20)) break;
    nCalls *= 2;
  }
  std::vector<double> perCall;
  const double dCaseStart = Now();
  while (static_cast<int>(perCall.size()) < kRuns) {
    const double dStart = Now();
    for (int i = 0; i < nCalls; ++i) fnCall();
    perCall.push_back((Now() - dStart) / nCalls);
    if (static_cast<int>(perCall.size()) >= kMinRuns && Now() - dCaseStart > kCaseBudgetSeconds) break;
  }
  std::sort(perCall.begin(), perCall.end());
  timing.nRuns = static_cast<int>(perCall.size());
  timing.nCallsPerRun = nCalls;
  timing.dMinSeconds = perCall.front();
  timing.dMedianSeconds = perCall[perCall.size() / 2];
  return timing;
}

void PrintRow(const char* szEntries, const char* szMatcher, const char* szMatch, const CTiming& timing) {
  std::printf("| %7s | %-21s | %-6s | %4d | %9d | %14.2f | %14.2f |\n", szEntries, szMatcher, szMatch, timing.nRuns,
              timing.nCallsPerRun, timing.dMinSeconds * 1e6, timing.dMedianSeconds * 1e6);
  std::fflush(stdout);
}

// False when a query does not answer as the lists say: the numbers would be of
// the wrong walk.
bool BenchFile(int nEntries, const char* szFile) {
  CopyBounded(CLSPGlobals::szDBPath, szFile);
  const int nMiddle = (nEntries + 1) / 2;
  const struct {
    const char* szName;
    int nEntry;
  } positions[] = {{"first", 1}, {"middle", nMiddle}, {"none", 0}};
  const std::string strEntries = std::to_string(nEntries);
  for (EBenchMatcher matcher : kBenchMatchers) {
    for (const auto& position : positions) {
      const std::string strQuery = QueryFor(matcher, position.nEntry);
      const bool bExpected = position.nEntry != 0;
      if (CallMatcher(matcher, strQuery) != bExpected) {
        std::fprintf(stderr, "MatcherBench: %s on %s, %s entry: answered %d\n", NameOf(matcher), szFile,
                     position.szName, !bExpected);
        return false;
      }
      PrintRow(strEntries.c_str(), NameOf(matcher), position.szName, Measure([&] { CallMatcher(matcher, strQuery); }));
    }
  }
  return true;
}

void BenchGetUrl() {
  const char* const szRequests[][2] = {
      {"page", "get /account/login.php?session=7 http/1.1\r\nhost: www.bank.example\r\naccept: */*\r\n\r\n"},
      {"image", "get /img/logo.gif http/1.1\r\nhost: cdn.example\r\n\r\n"},
  };
  for (const auto& request : szRequests) {
    char szUrl[261];
    PrintRow("-", "GetUrl", request[0], Measure([&] { CLSPGlobals::GetUrl(request[1], szUrl); }));
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4 && !std::strcmp(argv[1], "--plain")) {
    const std::string strPlain = MakePlainDefinitions(std::atoi(argv[2]));
    FILE* pFile = std::fopen(argv[3], "wb");
    const bool bWritten = pFile && std::fwrite(strPlain.data(), 1, strPlain.size(), pFile) == strPlain.size();
    if (pFile && std::fclose(pFile) != 0) return 2;
    return bWritten ? 0 : 2;
  }
  if (argc < 3 || argc % 2 == 0) {
    std::fprintf(stderr, "usage: MatcherBench --plain N FILE\n       MatcherBench N FILE [N FILE ...]\n");
    return 2;
  }
  std::printf("| entries | matcher               | match  | runs | calls/run | min us/call    | median us/call |\n");
  std::printf("|--------:|-----------------------|--------|-----:|----------:|---------------:|---------------:|\n");
  for (int i = 1; i + 1 < argc; i += 2) {
    if (!BenchFile(std::atoi(argv[i]), argv[i + 1])) return 1;
  }
  BenchGetUrl();
  return 0;
}
