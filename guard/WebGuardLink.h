// How the console and its web guard, HookwdnGuard.exe, meet: the program's name
// in the application folder, its command line and the event that asks it to end.
//
//   HookwdnGuard.exe --console PID ADDRESS:PORT [--script NAME] [--upstream HOST:PORT]
//     the guard on ADDRESS:PORT; it ends when the event GuardStopEventName(its own
//     process id) is set or when the console PID ends (then putting the user's
//     setting back). It forwards as the user's kept setting says, and serves its
//     auto-config script by that name (see ProxyScript.h).
//   HookwdnGuard.exe --restore-proxy-setting
//     puts back the user's proxy setting that a console kept and did not put
//     back (the uninstaller runs it); exit code 0 when nothing is left to restore
#pragma once

#include <string>

#include "guard/proxy/ProxyOptions.h"

constexpr const char* kGuardProgram = "\\HookwdnGuard.exe";
constexpr const char* kGuardConsoleOption = "--console";
constexpr const char* kGuardRestoreOption = "--restore-proxy-setting";
constexpr const char* kGuardScriptOption = "--script";
// The guard's port unless another program has it; then the next free one.
constexpr unsigned kGuardFirstPort = 8118;
constexpr unsigned kGuardPortsTried = 64;

// The name of the manual-reset event that asks the guard with this process id to
// end; whichever side comes first creates it.
std::string GuardStopEventName(unsigned long dwGuardProcessId);

// The command line that starts szGuardPath for the console dwConsoleProcessId on
// 127.0.0.1:nPort, forwarding to strUpstream ("HOST:PORT") unless it is empty,
// serving the script strScriptName unless it is empty.
std::string GuardCommandLine(const std::string& strGuardPath, unsigned long dwConsoleProcessId, unsigned nPort,
                             const std::string& strUpstream, const std::string& strScriptName = std::string());
