// Sends a typed request to the console's request window with WM_COPYDATA and
// reads its verdict. The one rule for every sender: a request the console could
// not be asked about (no request window, the call failed or timed out) is Block,
// and the reply says that nobody answered.
#pragma once

#include <windows.h>

#include "shared/EngineRequest.h"
#include "shared/RequestChannel.h"
#include "shared/Requests.h"

// How long the sending thread waits for the verdict.
enum class EConsoleWait {
  // Up to the time a user may take over an alert (10 minutes); a console that
  // answers in none blocks. For threads of the sender's own that may wait.
  AlertTime,
  // As long as the console takes, as plain SendMessage waits: for the browser's
  // own thread, which keeps serving messages sent to it meanwhile.
  UntilAnswered,
};

struct SConsoleReply {
  int nVerdict = VERDICT_BLOCK;  // VERDICT_ALLOW only when the console answered so
  bool bAnswered = false;        // false: no console took the request
};

// hConsole: the request window as the engine found it (CLSPGlobals); null when
// there is none.
SConsoleReply SendRequestRecord(HWND hConsole, const SRequestRecord& request, EConsoleWait eWait);
SConsoleReply SendToConsole(HWND hConsole, const SWebRequest& request, EConsoleWait eWait = EConsoleWait::AlertTime);
SConsoleReply SendToConsole(HWND hConsole, const SMailRequest& request, EConsoleWait eWait = EConsoleWait::AlertTime);
