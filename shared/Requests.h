// The requests of the engine side as typed values: a web request (a host address
// or URL that matched a definition) and a mail request (a sender, subject, link
// pair or body text). Senders fill them and the request channel writes the record
// from them (RequestChannel.h); the console decodes the record it receives into
// the same types, and its lists, alert log and handlers take them.
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
  // The program's full path: senders send it, the console never reads it (and
  // leaves it empty when it decodes a record).
  std::string strProcessPath;
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
