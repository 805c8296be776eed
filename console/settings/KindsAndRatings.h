// The kind of a list entry or log entry ("IP", "URL", "From", "Subject", "Link",
// "Message") and the rating of a log entry ("Medium", "High"), kept as enums. They
// become text only where stored (one table each, below) and where shown.
#pragma once

#include <cstdint>
#include <string>

#include "shared/Requests.h"

// Unnamed: a stored text that names no kind or rating; it is kept as read.
enum class EEntryKind : std::uint8_t { None, HostIP, Url, From, Subject, Link, Message, Unnamed };
enum class ERating : std::uint8_t { None, Medium, High, Unnamed };

// A stored text read into its enum. The text itself is kept beside it only where
// the enum written back would give other bytes (another language's rating, other
// letter case, a text that names nothing), so that a load and a save leave every
// stored text as it was; assigning an enum value drops it.
template <class TEnum>
struct SStoredEnum {
  SStoredEnum() = default;
  SStoredEnum(TEnum eSet) : eValue(eSet) {}  // NOLINT: implicit, assigned like the enum

  bool operator==(TEnum eOther) const { return eValue == eOther; }
  bool operator!=(TEnum eOther) const { return eValue != eOther; }

  TEnum eValue{};
  std::string strAsStored;
};
using SEntryKind = SStoredEnum<EEntryKind>;
using SRating = SStoredEnum<ERating>;

EEntryKind EntryKindOf(EWebKind eKind);
EEntryKind EntryKindOf(EMailKind eKind);

// The storage edge: the text read, matched ignoring case, and the text to write.
SEntryKind EntryKindOfStoredText(const std::string& strStored);
std::string StoredTextOf(const SEntryKind& kind);
SRating RatingOfStoredText(const std::string& strStored);
std::string StoredTextOf(const SRating& rating);

// What the screens and the event log show of a kind: its name, which no language
// translates ("URL"), or the unnamed text as stored.
std::string EntryKindText(const SEntryKind& kind);
// String-table number of a rating's text in the current language (7014 High, 7015
// Medium); 0 for none or an unnamed one, which shows as stored.
unsigned RatingStringId(ERating eRating);

// Equality as the lists and the log compare kinds: by enum, unnamed ones by their
// text ignoring case.
bool IsSameKind(const SEntryKind& first, const SEntryKind& second);
