// CMailHeaderParser: decides whether the visible text of a web page shows a mail
// (a sender line and a recipient line) and cuts the header fields out of it. It
// knows only text lines and labels, nothing of any mail site.
#pragma once

#include <memory>

class CMailHeaderParser {
 public:
  // szText may be null: the parser then finds nothing.
  explicit CMailHeaderParser(const char* szText = nullptr);
  virtual ~CMailHeaderParser();
  CMailHeaderParser(const CMailHeaderParser&) = delete;
  CMailHeaderParser& operator=(const CMailHeaderParser&) = delete;

  // True when the text shows both a sender and a recipient label; only then are
  // both fields set.
  bool IsMail();
  // Sender and recipient (where still missing), subject, date and attachment, then
  // the body from the whole text.
  void ExtractHeaders();
  // Replaces the body by a lower-cased copy of szText; the body's flag stays.
  void SetBody(const char* szText);

  const char* GetFrom() const { return FieldOrEmpty(m_pszFrom, FOUND_FROM); }
  const char* GetTo() const { return FieldOrEmpty(m_pszTo, FOUND_TO); }
  const char* GetSubject() const { return FieldOrEmpty(m_pszSubject, FOUND_SUBJECT); }
  const char* GetDate() const { return FieldOrEmpty(m_pszDate, FOUND_DATE); }
  const char* GetAttachment() const { return FieldOrEmpty(m_pszAttachment, FOUND_ATTACHMENT); }
  const char* GetBody() const { return FieldOrEmpty(m_pszBody, FOUND_BODY); }

  bool HasFrom() const { return (m_dwFound & FOUND_FROM) != 0; }
  bool HasTo() const { return (m_dwFound & FOUND_TO) != 0; }
  bool HasSubject() const { return (m_dwFound & FOUND_SUBJECT) != 0; }
  bool HasDate() const { return (m_dwFound & FOUND_DATE) != 0; }
  bool HasAttachment() const { return (m_dwFound & FOUND_ATTACHMENT) != 0; }
  bool HasBody() const { return (m_dwFound & FOUND_BODY) != 0; }

 private:
  enum : unsigned long {
    FOUND_FROM = 0x01,
    FOUND_TO = 0x02,
    FOUND_SUBJECT = 0x04,
    FOUND_DATE = 0x08,
    FOUND_ATTACHMENT = 0x10,
    FOUND_BODY = 0x20,
  };
  using CText = std::unique_ptr<char[]>;

  const char* FieldOrEmpty(const CText& pszField, unsigned long dwFlag) const {
    return (m_dwFound & dwFlag) && pszField ? pszField.get() : "";
  }
  // One walk over the lines for a single field; sets it when a line shows it.
  void ExtractField(const char* const* pszLabels, CText& pszField, unsigned long dwFlag);

  CText m_pszText;  // lower-cased copy of the page text, or null
  CText m_pszFrom;
  CText m_pszTo;
  CText m_pszSubject;
  CText m_pszDate;
  CText m_pszAttachment;
  CText m_pszBody;
  unsigned long m_dwFound = 0;
};
