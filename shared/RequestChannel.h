// The sending side of the request channel, platform-free: the one place where a
// typed request becomes the record the console's request window receives, with
// its request code and the bytes to pass. Every text is cut so that it ends
// inside its field; a field the request leaves empty is zero throughout.
// RequestChannel_win.h sends what is built here.
#pragma once

#include <cstddef>
#include <string>

#include "shared/EngineRequest.h"
#include "shared/Requests.h"

struct SRequestRecord {
  unsigned long dwCode = 0;  // REQUEST_HOST_IP, REQUEST_URL or REQUEST_MAIL
  std::size_t cbData = 0;    // WEB_REQUEST_SIZE or MAIL_REQUEST_SIZE
  EngineRequest record;
};

// Code 1125 ('I') or 1126 ('U', with the URL); 654 bytes.
SRequestRecord RequestRecordOf(const SWebRequest& request);
// Code 1127 with the mail kind's byte; 1681 bytes. Every mail field is written,
// whatever the kind, so that a sender that reuses one request for several
// findings sends what an earlier finding left in it.
SRequestRecord RequestRecordOf(const SMailRequest& request);

// The kind byte a mail request carries ('F', 'S', 'L' or 'T').
char MailKindByte(EMailKind eKind);

// "request 1126 kind 'U' program P host H port N url U", from the record as sent.
std::string RequestRecordText(const SRequestRecord& request);
