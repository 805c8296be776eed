// The request record that the engine side (socket-layer provider, browser helper
// object) sends to the console's request window with WM_COPYDATA, and the codes
// and kind bytes that go with it. Shared byte for byte by both deliverables and by
// programs outside the system, so every offset is fixed and checked below.
#pragma once

#include <cstddef>

enum : unsigned long {
  REQUEST_HOST_IP = 1125,  // web layout, cWebKind 'I'
  REQUEST_URL = 1126,      // web layout, cWebKind 'U'
  REQUEST_MAIL = 1127,     // mail layout, cMailKind 'F', 'S', 'L' or 'T'
};

enum : char {
  KIND_HOST_IP = 'I',
  KIND_URL = 'U',
  KIND_MAIL_FROM = 'F',
  KIND_MAIL_SUBJECT = 'S',
  KIND_MAIL_LINK = 'L',
  KIND_MAIL_TEXT = 'T',
};

// Verdicts: the message result of the WM_COPYDATA call.
enum : int { VERDICT_BLOCK = 0, VERDICT_ALLOW = 1 };

// Title by which senders find the request window; part of the interface.
#define REQUEST_WINDOW_TITLE "Tessaline Server Handler"

#pragma pack(push, 1)

// Bytes 392 to 653 of a web request (codes 1125 and 1126).
struct SWebRequestTail {
  char szUrl[261];
  char cWebKind;
};

// Bytes 392 to 1680 of a mail request (code 1127).
struct SMailRequestTail {
  char szFrom[101];
  char szTo[101];
  char szSubject[101];
  char szDate[101];
  char szAttachment[101];
  char szText[261];
  char szVisibleLink[261];
  char szCalledLink[261];
  char cMailKind;
};

struct EngineRequest {
  char szProcessPath[261];
  char szProcessName[101];
  char szHostIP[20];
  char szPort[10];
  // The layout of the tail is chosen by the request code alone, never by content.
  union {
    SWebRequestTail web;
    SMailRequestTail mail;
  };
};

#pragma pack(pop)

// Bytes a sender must pass in cbData for each layout.
constexpr std::size_t WEB_REQUEST_SIZE = 654;
constexpr std::size_t MAIL_REQUEST_SIZE = 1681;

static_assert(sizeof(EngineRequest) == 1681, "EngineRequest is 1681 bytes");
static_assert(offsetof(EngineRequest, szProcessPath) == 0, "szProcessPath");
static_assert(offsetof(EngineRequest, szProcessName) == 261, "szProcessName");
static_assert(offsetof(EngineRequest, szHostIP) == 362, "szHostIP");
static_assert(offsetof(EngineRequest, szPort) == 382, "szPort");
static_assert(offsetof(EngineRequest, web) == 392, "web tail");
static_assert(offsetof(EngineRequest, mail) == 392, "mail tail");
static_assert(392 + offsetof(SWebRequestTail, szUrl) == 392, "szUrl");
static_assert(392 + offsetof(SWebRequestTail, cWebKind) == 653, "cWebKind");
static_assert(392 + sizeof(SWebRequestTail) == WEB_REQUEST_SIZE, "web layout size");
static_assert(392 + offsetof(SMailRequestTail, szFrom) == 392, "szFrom");
static_assert(392 + offsetof(SMailRequestTail, szTo) == 493, "szTo");
static_assert(392 + offsetof(SMailRequestTail, szSubject) == 594, "szSubject");
static_assert(392 + offsetof(SMailRequestTail, szDate) == 695, "szDate");
static_assert(392 + offsetof(SMailRequestTail, szAttachment) == 796, "szAttachment");
static_assert(392 + offsetof(SMailRequestTail, szText) == 897, "szText");
static_assert(392 + offsetof(SMailRequestTail, szVisibleLink) == 1158, "szVisibleLink");
static_assert(392 + offsetof(SMailRequestTail, szCalledLink) == 1419, "szCalledLink");
static_assert(392 + offsetof(SMailRequestTail, cMailKind) == 1680, "cMailKind");
static_assert(392 + sizeof(SMailRequestTail) == MAIL_REQUEST_SIZE, "mail layout size");
