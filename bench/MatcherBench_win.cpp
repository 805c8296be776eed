// Time per call of every matcher over working definitions files, with the match at
// the first entry, the middle entry and no entry, side by side: the walk through
// the profile reader and the exported matchers, which answer from the index. Also
// the time and memory the index takes to build, and the time of GetUrl. Each case
// is run repeatedly and reported by its fastest and its median run.
//
//   MatcherBench --plain ENTRIES FILE          write the plain list
//   MatcherBench ENTRIES FILE [ENTRIES FILE ...] time the matchers over those working files
//
// ENTRIES is N (entries per list), N/M (N in the host address and link lists, M
// in the mail lists) or N/M/L (L in "Link").
#include <windows.h>
// after windows.h
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "bench/BenchLists.h"
#include "engine/DefinitionMatchers.h"
#include "engine/DefinitionsIndex.h"
#include "tests/support/ExportedMatchers.h"
#include "engine/LSPGlobals.h"
#include "engine/ProfileWalk_win.h"
#include "engine/WebAddress.h"
#include "shared/BoundedCopy.h"
#include "shared/OwnedResources_win.h"
#include "shared/ReadWholeFile_win.h"

namespace {

constexpr int kRuns = 15;                 // runs per case
constexpr double kMinRunSeconds = 0.002;  // a run repeats the call until it takes this long
constexpr double kCaseBudgetSeconds = 4;  // slow cases stop after this, with at least kMinRuns
constexpr int kMinRuns = 5;
constexpr int kWalkEntries = 10000;  // longer lists take the walk over a minute per case

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
// The typed entry point is handed the parts ready, as the web guard has them.
template <typename TMatchers>
bool CallMatcher(const TMatchers& matchers, EBenchMatcher matcher, const std::string& strQuery,
                 const SWebAddress& address) {
  char szOut1[261];
  char szOut2[261];
  switch (matcher) {
    case EBenchMatcher::HostIP:
      return matchers.IsBadIP(strQuery.c_str());
    case EBenchMatcher::Url: {
      char szLink[261];
      CopyBounded(szLink, strQuery.c_str());
      return matchers.IsBadUrl(szLink);
    }
    case EBenchMatcher::WebAddress:
      return matchers.IsBadWebAddress(address);
    case EBenchMatcher::MailFrom:
      return matchers.IsBadMailFrom(strQuery.c_str());
    case EBenchMatcher::MailSubject:
      return matchers.IsBadMailSubject(strQuery.c_str());
    case EBenchMatcher::MailLinks:
      return matchers.IsBadMailLinks(strQuery.c_str(), szOut1);
    case EBenchMatcher::VisibleMailLinks:
      return matchers.IsBadVisibleMailLinks(strQuery.c_str(), szOut1, szOut2);
    case EBenchMatcher::MailText:
      return matchers.IsBadMailText(strQuery.c_str(), szOut1);
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

std::string Micro(double dSeconds) {
  char sz[32];
  std::snprintf(sz, sizeof(sz), dSeconds * 1e6 < 100 ? "%.2f" : "%.0f", dSeconds * 1e6);
  return sz;
}

void PrintRow(const char* szEntries, const char* szMatcher, const char* szMatch, const CTiming* pWalk,
              const CTiming& index) {
  const std::string strWalk = pWalk ? Micro(pWalk->dMinSeconds) + " / " + Micro(pWalk->dMedianSeconds) : "-";
  char szRatio[32] = "-";
  if (pWalk) std::snprintf(szRatio, sizeof(szRatio), "%.0f", pWalk->dMedianSeconds / index.dMedianSeconds);
  std::printf("| %15s | %-21s | %-6s | %21s | %13s | %9s |\n", szEntries, szMatcher, szMatch, strWalk.c_str(),
              (Micro(index.dMinSeconds) + " / " + Micro(index.dMedianSeconds)).c_str(), szRatio);
  std::fflush(stdout);
}

double PeakWorkingSet() {
  PROCESS_MEMORY_COUNTERS counters = {};
  counters.cb = sizeof(counters);
  ::GetProcessMemoryInfo(::GetCurrentProcess(), &counters, sizeof(counters));
  return static_cast<double>(counters.PeakWorkingSetSize);
}

// The index's tables, each with the matcher that first needs it.
struct STableBench {
  CDefinitionsIndex::ETable table;
  const char* szName;
  EBenchMatcher matchers[2];  // whose lists the table holds
};
constexpr STableBench kTables[] = {
    {CDefinitionsIndex::ETable::Addresses, "HostIP", {EBenchMatcher::HostIP, EBenchMatcher::HostIP}},
    {CDefinitionsIndex::ETable::Links, "HostLink + Link", {EBenchMatcher::Url, EBenchMatcher::MailLinks}},
    {CDefinitionsIndex::ETable::MailLinks, "Link (mail)", {EBenchMatcher::MailLinks, EBenchMatcher::MailLinks}},
    {CDefinitionsIndex::ETable::From, "From", {EBenchMatcher::MailFrom, EBenchMatcher::MailFrom}},
    {CDefinitionsIndex::ETable::Subject, "Subject", {EBenchMatcher::MailSubject, EBenchMatcher::MailSubject}},
    {CDefinitionsIndex::ETable::Text, "Text", {EBenchMatcher::MailText, EBenchMatcher::MailText}},
};
constexpr int kTableCount = sizeof(kTables) / sizeof(kTables[0]);

// Each table of the index built as a matcher's first call builds it, reading the
// file again: fastest of three builds, the memory it holds and per entry of its
// lists; then the whole index against the file, and how far the first build of all
// tables raised the process's peak working set.
bool BenchBuild(const char* szEntries, const char* szFile) {
  std::string strData;
  if (!ReadWholeFile(szFile, UINT64_MAX, &strData)) return false;
  const double dFileBytes = static_cast<double>(strData.size());
  std::string().swap(strData);
  const CDefinitionsIndex::FReadFile fnRead = [szFile](const CDefinitionsIndex::FPiece& fnPiece) {
    std::string strBytes;
    if (!ReadWholeFile(szFile, UINT64_MAX, &strBytes)) return false;
    fnPiece(strBytes);
    return true;
  };
  double dFastest[kTableCount];
  std::size_t cbTables[kTableCount] = {};
  std::size_t cbIndex = 0;
  const double dPeakBefore = PeakWorkingSet();
  double dPeakRaised = 0;
  for (int nBuild = 0; nBuild < 3; ++nBuild) {
    const CDefinitionsIndex index(fnRead);
    std::size_t cbBefore = index.MemoryBytes();
    for (int i = 0; i < kTableCount; ++i) {
      const double dStart = Now();
      if (!index.Prepare(kTables[i].table)) return false;
      const double dSeconds = Now() - dStart;
      dFastest[i] = nBuild == 0 ? dSeconds : std::min(dFastest[i], dSeconds);
      cbTables[i] = index.MemoryBytes() - cbBefore;
      cbBefore = index.MemoryBytes();
    }
    cbIndex = index.MemoryBytes();
    if (nBuild == 0) dPeakRaised = PeakWorkingSet() - dPeakBefore;
  }
  for (int i = 0; i < kTableCount; ++i) {
    const STableBench& table = kTables[i];
    int nListed = ListedEntries(szEntries, table.matchers[0]);
    if (table.matchers[1] != table.matchers[0]) nListed += ListedEntries(szEntries, table.matchers[1]);
    std::printf("| %15s | %-15s | %9d | %9.0f ms | %8.2f MB | %6.1f bytes per entry |\n", szEntries, table.szName,
                nListed, dFastest[i] * 1e3, cbTables[i] / 1e6, static_cast<double>(cbTables[i]) / nListed);
  }
  std::printf(
      "| %15s | all tables      | file %.1f MB | index %.1f MB (%.2f of the file) | peak working set %.1f MB higher "
      "|\n",
      szEntries, dFileBytes / 1e6, cbIndex / 1e6, cbIndex / dFileBytes, dPeakRaised / 1e6);
  std::fflush(stdout);
  return true;
}

// False when a query does not answer as the lists say: the numbers would be of
// the wrong walk. The walk runs only for lists of up to kWalkEntries entries.
bool BenchFile(const char* szEntries, const char* szFile) {
  // A bare file name would be looked for in the Windows folder.
  if (!::GetFullPathNameA(szFile, sizeof(CLSPGlobals::szDBPath), CLSPGlobals::szDBPath, nullptr)) return false;
  const int nEntries = std::atoi(szEntries);
  const bool bWalk = nEntries <= kWalkEntries && !std::strchr(szEntries, '/');
  const CProfileWalkReader reader(CLSPGlobals::szDBPath);
  const CDefinitionMatchers walk(reader);
  const CExportedMatchers index;
  for (EBenchMatcher matcher : kBenchMatchers) {
    // A list of real-world size may hold fewer entries for this matcher.
    const int nListed = ListedEntries(szEntries, matcher);
    const struct {
      const char* szName;
      int nEntry;
    } positions[] = {{"first", 1}, {"middle", (nListed + 1) / 2}, {"none", 0}};
    for (const auto& position : positions) {
      const std::string strQuery = QueryFor(matcher, position.nEntry);
      const SWebAddress address = WebAddressOfLink(strQuery);
      const bool bExpected = position.nEntry != 0;
      if (CallMatcher(index, matcher, strQuery, address) != bExpected ||
          (bWalk && CallMatcher(walk, matcher, strQuery, address) != bExpected)) {
        std::fprintf(stderr, "MatcherBench: %s on %s, %s entry: answered %d\n", NameOf(matcher), szFile,
                     position.szName, !bExpected);
        return false;
      }
      CTiming walkTiming;
      if (bWalk) walkTiming = Measure([&] { CallMatcher(walk, matcher, strQuery, address); });
      PrintRow(szEntries, NameOf(matcher), position.szName, bWalk ? &walkTiming : nullptr,
               Measure([&] { CallMatcher(index, matcher, strQuery, address); }));
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
    PrintRow("-", "GetUrl", request[0], nullptr, Measure([&] { CLSPGlobals::GetUrl(request[1], szUrl); }));
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4 && !std::strcmp(argv[1], "--plain")) {
    const std::string strPlain = MakePlainDefinitions(argv[2]);
    FILE* pFile = std::fopen(argv[3], "wb");
    const bool bWritten = pFile && std::fwrite(strPlain.data(), 1, strPlain.size(), pFile) == strPlain.size();
    if (pFile && std::fclose(pFile) != 0) return 2;  // checked: a write can fail at the close
    return bWritten ? 0 : 2;
  }
  if (argc < 3 || argc % 2 == 0) {
    std::fprintf(stderr,
                 "usage: MatcherBench --plain ENTRIES FILE\n       MatcherBench ENTRIES FILE [ENTRIES FILE ...]\n"
                 "ENTRIES: N, N/M for N host addresses and links and M mail entries, or N/M/L with L links\n");
    return 2;
  }
  std::printf(
      "| entries         | table           |   entries | built in     | holds       | per entry              |\n");
  std::printf(
      "|----------------:|-----------------|----------:|-------------:|------------:|-----------------------:|\n");
  for (int i = 1; i + 1 < argc; i += 2) {
    if (!BenchBuild(argv[i], argv[i + 1])) return 1;
  }
  std::printf("\nus per call, fastest / median run; ratio of the medians\n\n");
  std::printf(
      "| entries         | matcher               | match  | walk                  | index         | walk/index |\n");
  std::printf(
      "|----------------:|-----------------------|--------|----------------------:|--------------:|----------:|\n");
  for (int i = 1; i + 1 < argc; i += 2) {
    if (!BenchFile(argv[i], argv[i + 1])) return 1;
  }
  BenchGetUrl();
  return 0;
}
