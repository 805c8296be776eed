// Request records for tests: a web request with the given fields, and a mail
// request whose every field holds a value, so that each kind finds its own.
#pragma once

#include <cstring>

#include "shared/BoundedCopy.h"
#include "shared/EngineRequest.h"

inline EngineRequest MakeWebRequest(char cKind, const char* szProgram, const char* szPort, const char* szHostIP,
                                    const char* szUrl = "") {
  EngineRequest request;
  std::memset(&request, 0, sizeof(request));
  CopyBounded(request.szProcessName, szProgram);
  CopyBounded(request.szPort, szPort);
  CopyBounded(request.szHostIP, szHostIP);
  CopyBounded(request.web.szUrl, szUrl);
  request.web.cWebKind = cKind;
  return request;
}

inline EngineRequest MakeMailRequest(char cKind) {
  EngineRequest request;
  std::memset(&request, 0, sizeof(request));
  CopyBounded(request.szProcessName, "browser.exe");
  CopyBounded(request.szPort, "80");
  CopyBounded(request.mail.szFrom, "billing@example.net");
  CopyBounded(request.mail.szTo, "user@example.org");
  CopyBounded(request.mail.szSubject, "verify your account");
  CopyBounded(request.mail.szText, "click here");
  CopyBounded(request.mail.szCalledLink, "http://phish.example.com/");
  CopyBounded(request.mail.szVisibleLink, "http://bank.example.org/");
  request.mail.cMailKind = cKind;
  return request;
}
