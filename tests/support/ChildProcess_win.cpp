#include "support/ChildProcess_win.h"

std::string GetTestProgramFolder() {
  char szPath[MAX_PATH] = "";
  const DWORD n = ::GetModuleFileNameA(nullptr, szPath, MAX_PATH);
  std::string strPath(szPath, n);
  const std::size_t nSlash = strPath.find_last_of('\\');
  return nSlash == std::string::npos ? std::string(".") : strPath.substr(0, nSlash);
}

CCloseHandle StartChild(const std::string& strProgram, const std::string& strArguments) {
  std::string strPath = strProgram;
  if (strPath.find('\\') == std::string::npos) strPath = GetTestProgramFolder() + "\\" + strPath;
  std::string strCommand = "\"" + strPath + "\" " + strArguments;
  STARTUPINFOA si = {};
  si.cb = sizeof(si);
  PROCESS_INFORMATION pi = {};
  if (!::CreateProcessA(strPath.c_str(), &strCommand[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
    return CCloseHandle();
  }
  CCloseHandle thread(pi.hThread);
  return CCloseHandle(pi.hProcess);
}

int RunChildPumping(const std::string& strProgram, const std::string& strArguments, DWORD dwTimeoutMs) {
  const CCloseHandle process = StartChild(strProgram, strArguments);
  if (!process) return -1;
  const DWORD dwStart = ::GetTickCount();
  for (;;) {
    const DWORD dwElapsed = ::GetTickCount() - dwStart;
    if (dwElapsed >= dwTimeoutMs) {
      ::TerminateProcess(process.Get(), 1);
      return -1;
    }
    const HANDLE hProcess = process.Get();
    const DWORD dwWait = ::MsgWaitForMultipleObjects(1, &hProcess, FALSE, dwTimeoutMs - dwElapsed, QS_ALLINPUT);
    if (dwWait == WAIT_OBJECT_0) break;
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageA(&msg);
    }
  }
  DWORD dwExit = 0;
  ::GetExitCodeProcess(process.Get(), &dwExit);
  return static_cast<int>(dwExit);
}
