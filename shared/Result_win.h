// The text of a result as the user reads it: its own text, or the system's text of
// its code.
#pragma once

#include <windows.h>

#include <string>

#include "shared/Result.h"

static_assert(RESULT_SUCCESS == ERROR_SUCCESS && RESULT_FILE_NOT_FOUND == ERROR_FILE_NOT_FOUND &&
                  RESULT_ACCESS_DENIED == ERROR_ACCESS_DENIED && RESULT_INVALID_DATA == ERROR_INVALID_DATA &&
                  RESULT_INVALID_PARAMETER == ERROR_INVALID_PARAMETER && RESULT_CANT_WRITE == ERROR_CANTWRITE &&
                  RESULT_INTERNAL_ERROR == ERROR_INTERNAL_ERROR,
              "results carry the system's own codes");

// The system's text of a Win32 error code, without the line end it comes with.
inline std::string SystemErrorText(DWORD dwError) {
  char szText[512] = {};
  const DWORD cch = ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, dwError, 0,
                                     szText, sizeof(szText), nullptr);
  std::string strText(szText, cch < sizeof(szText) ? cch : 0);
  while (!strText.empty() && (strText.back() == '\n' || strText.back() == '\r' || strText.back() == ' ')) {
    strText.pop_back();
  }
  return strText;
}

inline std::string ResultMessage(const CResult& result) {
  return result.Text().empty() ? SystemErrorText(result.Code()) : result.Text();
}

// The result of a Win32 call that set the thread's last error on failure.
inline CResult LastErrorResult() {
  return CResult(::GetLastError());
}
