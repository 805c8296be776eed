// The requests of the engine side as the console handles them, decoded once from
// the record they arrive in: a web request (a host address or URL that matched a
// definition) and a mail request (a sender, subject, link pair or body text).
// The lists, the alert log and the handlers all take these.
#pragma once

#include <cstdint>
#include <string>

enum class EWebKind : std::uint8_t { HostIP, Url };
enum class EMailKind : std::uint8_t { From, Subject, Link, Text };

// Where a request comes from.
struct SRequestSource {
  std::string strProgram;  // the program's file name
  std::string strHostIP;   // the remote host address
  // The decimal value the sender wrote, as entries store it: 32 bits with a sign,
  // so that "-1" or a value beyond 65535 keeps meeting the entry it made.
  std::int32_t nPort = 0;
};

struct SWebRequest {
  EWebKind eKind = EWebKind::HostIP;
  SRequestSource source;
  std::string strUrl;  // what matched, for kind Url
};

struct SMailRequest {
  EMailKind eKind = EMailKind::From;
  SRequestSource source;
  std::string strFrom;
  std::string strTo;
  std::string strSubject;
  std::string strDate;
  std::string strAttachment;
  std::string strText;
  std::string strVisibleLink;  // the links, for kind Link
  std::string strCalledLink;
};
