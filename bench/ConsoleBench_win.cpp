// ConsoleBench.exe APPFOLDER ENTRIES [-min]: starts the console of APPFOLDER, whose stored
// settings hold ENTRIES web site entries (Block, program "bench.exe", port 80,
// host addresses bench_address(i)), as many mail entries and the equal alert-log
// events, and times it: until its request window answers, the round trip of a
// request decided from the first and from the last entry while the main window
// feeds its views and after, beside the bare channel's round trip (a record the
// request window refuses before any handling), until every row is fed, the peak
// working set, a page of scrolling through the shown alert log, how long the
// request window waits on the save that follows a request, alone and after an
// update check (the settings need "UpdateAddress" and an update program that
// answers), and the exit through the tray's Exit command. Prints one
// "name value" line per figure (milliseconds). Not a test: scripts/bench-console.sh.
#include <windows.h>
// after windows.h, which they need
#include <commctrl.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "bench/BenchUpdateCheck.h"
#include "console/ConsoleResources.h"
#include "shared/BoundedCopy.h"
#include "shared/EngineRequest.h"

namespace {

enum : int { ID_PLAYER = 2003, ID_MAIL_ROWS = 1300, ID_SITE_ROWS = 1400, ID_LOG_ROWS = 1500, ID_LOG_PAGE = 1103 };
constexpr DWORD kWaitMs = 60000;

double NowMs() {
  static LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    ::QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER now;
  ::QueryPerformanceCounter(&now);
  return 1000.0 * static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

std::string Address(int i) {
  return "10." + std::to_string(i / 65536 % 256) + "." + std::to_string(i / 256 % 256) + "." + std::to_string(i % 256);
}

// A host-address request for entry i; bare: sent with the URL code, which the
// request window refuses before handling it (a kind that does not fit its code).
double RoundTrip(HWND hWnd, int i, bool bBare, LRESULT* pReply = nullptr) {
  EngineRequest request;
  std::memset(&request, 0, sizeof(request));
  CopyBounded(request.szProcessName, "bench.exe");
  CopyBounded(request.szPort, "80");
  CopyBounded(request.szHostIP, Address(i).c_str());
  request.web.cWebKind = KIND_HOST_IP;
  COPYDATASTRUCT copy = {bBare ? REQUEST_URL : REQUEST_HOST_IP, static_cast<DWORD>(WEB_REQUEST_SIZE), &request};
  const double dStart = NowMs();
  DWORD_PTR dwReply = 0;
  if (!::SendMessageTimeoutA(hWnd, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&copy), SMTO_NORMAL, kWaitMs, &dwReply)) {
    return -1;
  }
  if (pReply) *pReply = static_cast<LRESULT>(dwReply);
  return NowMs() - dStart;
}

BOOL CALLBACK FindMainDialog(HWND hWnd, LPARAM lParam) {
  char szClass[16] = {};
  ::GetClassNameA(hWnd, szClass, sizeof(szClass));
  if (std::strcmp(szClass, "#32770") != 0 || !::GetDlgItem(hWnd, ID_PLAYER)) return TRUE;
  *reinterpret_cast<HWND*>(lParam) = hWnd;
  return FALSE;
}

int Rows(HWND hPlayer, int nId) {
  DWORD_PTR dwCount = 0;
  const HWND hList = ::GetDlgItem(hPlayer, nId);
  if (!hList || !::SendMessageTimeoutA(hList, LVM_GETITEMCOUNT, 0, 0, SMTO_NORMAL, kWaitMs, &dwCount)) return -1;
  return static_cast<int>(dwCount);
}

// The stored time of the last update check; empty before the first.
std::string LastUpdateCheck() {
  char szText[64] = {};
  DWORD cbText = sizeof(szText);
  if (::RegGetValueA(HKEY_CURRENT_USER, "Software\\Corvinth\\Hookwarden", "LastUpdateCheck", RRF_RT_REG_SZ, nullptr,
                     szText, &cbText) != ERROR_SUCCESS) {
    return std::string();
  }
  return szText;
}

struct SSamples {
  std::vector<double> values;
  void Add(double d) { values.push_back(d); }
  void Print(const char* szName) {
    if (values.empty()) {
      std::printf("%s none\n", szName);
      return;
    }
    std::sort(values.begin(), values.end());
    const auto at = [&](double q) { return values[static_cast<std::size_t>(q * (values.size() - 1))]; };
    std::printf("%s %.3f %.3f %.3f %zu\n", szName, at(0.5), at(0.99), values.back(), values.size());
  }
};

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: ConsoleBench APPFOLDER ENTRIES [-min]\n");
    return 2;
  }
  std::setvbuf(stdout, nullptr, _IONBF, 0);  // figures seen as they come
  // Update checks wait for it: the first comes about 20 s after the start, maybe
  // before the console answers on a slow machine.
  const HANDLE hAnswerCheck = ::CreateEventA(nullptr, TRUE, FALSE, kBenchCheckEvent);
  const std::string strFolder = argv[1];
  const int nEntries = std::atoi(argv[2]);
  // "-min" starts it hidden in the tray, as the start with Windows does.
  std::string strCommand = "\"" + strFolder + "\\Hookwdn.exe\"" + (argc > 3 ? std::string(" ") + argv[3] : "");
  STARTUPINFOA startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info = {};
  const double dStart = NowMs();
  if (!::CreateProcessA(nullptr, &strCommand[0], nullptr, nullptr, FALSE, 0, nullptr, strFolder.c_str(), &startup,
                        &info)) {
    std::fprintf(stderr, "cannot start %s\n", strCommand.c_str());
    return 2;
  }
  ::CloseHandle(info.hThread);

  // Up: the request window answers.
  HWND hRequests = nullptr;
  for (;;) {
    hRequests = ::FindWindowA(nullptr, "Tessaline Server Handler");
    if (hRequests && RoundTrip(hRequests, 0, true) >= 0) break;
    if (NowMs() - dStart > kWaitMs) return 3;
    ::Sleep(1);
  }
  std::printf("answers %.1f\n", NowMs() - dStart);
  HWND hMain = nullptr;
  while (!hMain && NowMs() - dStart < kWaitMs) {
    ::EnumThreadWindows(info.dwThreadId, &FindMainDialog, reinterpret_cast<LPARAM>(&hMain));
  }
  const HWND hPlayer = ::GetDlgItem(hMain, ID_PLAYER);

  // While the views are fed: first, last, bare, in turn.
  SSamples firstDuring, lastDuring, bareDuring, firstAfter, lastAfter, bareAfter;
  double dFirstRow = 0, dAllRows = 0;
  int nWrong = 0;
  for (int nTurn = 0;; ++nTurn) {
    const int nSites = Rows(hPlayer, ID_SITE_ROWS), nMail = Rows(hPlayer, ID_MAIL_ROWS);
    const int nLog = Rows(hPlayer, ID_LOG_ROWS);
    if (dFirstRow == 0 && (nSites > 0 || nMail > 0 || nLog > 0)) dFirstRow = NowMs() - dStart;
    if (nSites >= nEntries && nMail >= nEntries && nLog >= nEntries) {
      dAllRows = NowMs() - dStart;
      break;
    }
    if (NowMs() - dStart > kWaitMs) break;
    LRESULT reply = 1;
    if (dFirstRow > 0) {
      const int nWhich = nTurn % 3;
      if (nWhich == 0) firstDuring.Add(RoundTrip(hRequests, 0, false, &reply));
      if (nWhich == 1) lastDuring.Add(RoundTrip(hRequests, nEntries - 1, false, &reply));
      if (nWhich == 2) bareDuring.Add(RoundTrip(hRequests, 0, true));
      if (nWhich != 2 && reply != 0) ++nWrong;
    } else {
      ::Sleep(1);
    }
  }
  for (int i = 0; i < 300; ++i) {
    LRESULT reply = 1;
    firstAfter.Add(RoundTrip(hRequests, 0, false, &reply));
    nWrong += reply != 0;
    lastAfter.Add(RoundTrip(hRequests, nEntries - 1, false, &reply));
    nWrong += reply != 0;
    bareAfter.Add(RoundTrip(hRequests, 0, true));
  }
  std::printf("first_row %.1f\nall_rows %.1f\n", dFirstRow, dAllRows);
  std::printf("rows %d %d %d\n", Rows(hPlayer, ID_SITE_ROWS), Rows(hPlayer, ID_MAIL_ROWS), Rows(hPlayer, ID_LOG_ROWS));
  firstDuring.Print("first_during");
  lastDuring.Print("last_during");
  bareDuring.Print("bare_during");
  firstAfter.Print("first_after");
  lastAfter.Print("last_after");
  bareAfter.Print("bare_after");
  std::printf("wrong_verdicts %d\n", nWrong);

  // Scrolling the alert log page by page down and up again, each page painted.
  SSamples scroll;
  const HWND hLog = ::GetDlgItem(hPlayer, ID_LOG_ROWS);
  if (::IsWindowVisible(hMain)) {
    ::SendMessageA(::GetDlgItem(hPlayer, ID_LOG_PAGE), BM_CLICK, 0, 0);
    const double dClicked = NowMs();
    while (!::IsWindowVisible(hLog) && NowMs() - dClicked < kWaitMs) ::Sleep(1);
    for (int i = 0; i < 200 && ::IsWindowVisible(hLog); ++i) {
      const double dPage = NowMs();
      ::SendMessageA(hLog, WM_VSCROLL, i < 100 ? SB_PAGEDOWN : SB_PAGEUP, 0);
      ::UpdateWindow(hLog);
      scroll.Add(NowMs() - dPage);
    }
  }
  scroll.Print("scroll_page");

  // A decided request changes the log; the main window saves 2 s later. The bare
  // channel's round trips for 4 s after it show how long the save holds the window.
  const auto heldBySave = [&](const char* szName) {
    SSamples held;
    RoundTrip(hRequests, 0, false);
    for (const double dSent = NowMs(); NowMs() - dSent < 4000;) held.Add(RoundTrip(hRequests, 0, true));
    held.Print(szName);
  };
  heldBySave("save_after_request");
  // The first scheduled update check, started about 20 s after the start, answers now.
  if (hAnswerCheck) ::SetEvent(hAnswerCheck);
  const double dWaitCheck = NowMs();
  while (LastUpdateCheck().empty() && NowMs() - dWaitCheck < kWaitMs) ::Sleep(10);
  if (LastUpdateCheck().empty()) {
    std::printf("save_after_update_check none\n");
  } else {
    heldBySave("save_after_update_check");
  }
  PROCESS_MEMORY_COUNTERS memory = {};
  memory.cb = sizeof(memory);
  if (::GetProcessMemoryInfo(info.hProcess, &memory, sizeof(memory))) {
    std::printf("peak_mb %.1f\n", static_cast<double>(memory.PeakWorkingSetSize) / (1024.0 * 1024.0));
  }

  const double dExit = NowMs();
  ::PostMessageA(hMain, WM_COMMAND, ID_TRAY_EXIT, 0);
  const bool bEnded = ::WaitForSingleObject(info.hProcess, kWaitMs) == WAIT_OBJECT_0;
  std::printf("exit %.1f\n", bEnded ? NowMs() - dExit : -1.0);
  ::CloseHandle(info.hProcess);
  return bEnded ? 0 : 1;
}
