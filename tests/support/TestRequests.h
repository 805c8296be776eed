// Requests for tests, as records and as the typed requests they decode to: a web
// request with the given fields, and a mail request whose every field holds a
// value, so that each kind finds its own.
#pragma once

#include <cstdint>
#include <cstring>

#include "shared/Requests.h"
#include "shared/BoundedCopy.h"
#include "shared/EngineRequest.h"

// The fields of every test mail request.
struct STestMail {
  static constexpr const char* kProgram = "browser.exe";
  static constexpr const char* kPort = "80";
  static constexpr std::int32_t nPort = 80;
  static constexpr const char* kFrom = "billing@example.net";
  static constexpr const char* kTo = "user@example.org";
  static constexpr const char* kSubject = "verify your account";
  static constexpr const char* kText = "click here";
  static constexpr const char* kCalledLink = "http://phish.example.com/";
  static constexpr const char* kVisibleLink = "http://bank.example.org/";
};

// Kinds outside the enumerations, as a record's unknown kind byte decodes.
constexpr auto kNotAWebKind = static_cast<EWebKind>(0x7F);
constexpr auto kNotAMailKind = static_cast<EMailKind>(0x7F);

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
  CopyBounded(request.szProcessName, STestMail::kProgram);
  CopyBounded(request.szPort, STestMail::kPort);
  CopyBounded(request.mail.szFrom, STestMail::kFrom);
  CopyBounded(request.mail.szTo, STestMail::kTo);
  CopyBounded(request.mail.szSubject, STestMail::kSubject);
  CopyBounded(request.mail.szText, STestMail::kText);
  CopyBounded(request.mail.szCalledLink, STestMail::kCalledLink);
  CopyBounded(request.mail.szVisibleLink, STestMail::kVisibleLink);
  request.mail.cMailKind = cKind;
  return request;
}

inline SWebRequest TypedWebRequest(EWebKind eKind, const char* szProgram, std::int32_t nPort, const char* szHostIP,
                                   const char* szUrl = "") {
  SWebRequest request;
  request.eKind = eKind;
  request.source.strProgram = szProgram;
  request.source.nPort = nPort;
  request.source.strHostIP = szHostIP;
  request.strUrl = szUrl;
  return request;
}

inline SMailRequest TypedMailRequest(EMailKind eKind) {
  SMailRequest request;
  request.eKind = eKind;
  request.source.strProgram = STestMail::kProgram;
  request.source.nPort = STestMail::nPort;
  request.strFrom = STestMail::kFrom;
  request.strTo = STestMail::kTo;
  request.strSubject = STestMail::kSubject;
  request.strText = STestMail::kText;
  request.strCalledLink = STestMail::kCalledLink;
  request.strVisibleLink = STestMail::kVisibleLink;
  return request;
}
