#include "console/settings/KindsAndRatings.h"

#include "console/ConsoleResources.h"
#include "console/settings/TextCompare.h"

namespace {

template <class TEnum>
struct SStoredName {
  TEnum eValue;
  const char* szText;
};

// The stored texts of the kinds, as the lists and the log store their "Type".
const SStoredName<EEntryKind> kKindNames[] = {
    {EEntryKind::None, ""},           {EEntryKind::HostIP, "IP"},       {EEntryKind::Url, "URL"},
    {EEntryKind::From, "From"},       {EEntryKind::Subject, "Subject"}, {EEntryKind::Link, "Link"},
    {EEntryKind::Message, "Message"},
};

// The stored texts of the ratings. Earlier versions stored a rating in the
// language the console ran in; the first row of a rating is the one written, the
// others are the shipped languages' texts, read as that rating.
const SStoredName<ERating> kRatingNames[] = {
    {ERating::None, ""},         {ERating::Medium, "Medium"}, {ERating::High, "High"},
    {ERating::Medium, "Mittel"}, {ERating::High, "Hoch"},
};

template <class TEnum, std::size_t N>
SStoredEnum<TEnum> ReadStored(const SStoredName<TEnum> (&names)[N], TEnum eUnnamed, const std::string& strStored) {
  SStoredEnum<TEnum> value(eUnnamed);
  for (const SStoredName<TEnum>& name : names) {
    if (IsSameTextIgnoringCase(strStored.c_str(), name.szText)) {
      value.eValue = name.eValue;
      break;
    }
  }
  if (StoredTextOf(value) != strStored) value.strAsStored = strStored;
  return value;
}

template <class TEnum, std::size_t N>
const char* WrittenName(const SStoredName<TEnum> (&names)[N], TEnum eValue) {
  for (const SStoredName<TEnum>& name : names) {
    if (name.eValue == eValue) return name.szText;
  }
  return "";
}

}  // namespace

EEntryKind EntryKindOf(EWebKind eKind) {
  switch (eKind) {
    case EWebKind::HostIP:
      return EEntryKind::HostIP;
    case EWebKind::Url:
      return EEntryKind::Url;
  }
  return EEntryKind::None;
}

EEntryKind EntryKindOf(EMailKind eKind) {
  switch (eKind) {
    case EMailKind::From:
      return EEntryKind::From;
    case EMailKind::Subject:
      return EEntryKind::Subject;
    case EMailKind::Text:
      return EEntryKind::Message;
    case EMailKind::Link:
      return EEntryKind::Link;
  }
  return EEntryKind::None;
}

SEntryKind EntryKindOfStoredText(const std::string& strStored) {
  return ReadStored(kKindNames, EEntryKind::Unnamed, strStored);
}

std::string StoredTextOf(const SEntryKind& kind) {
  return kind.strAsStored.empty() ? WrittenName(kKindNames, kind.eValue) : kind.strAsStored;
}

SRating RatingOfStoredText(const std::string& strStored) {
  return ReadStored(kRatingNames, ERating::Unnamed, strStored);
}

std::string StoredTextOf(const SRating& rating) {
  return rating.strAsStored.empty() ? WrittenName(kRatingNames, rating.eValue) : rating.strAsStored;
}

std::string EntryKindText(const SEntryKind& kind) {
  return kind.eValue == EEntryKind::Unnamed ? kind.strAsStored : WrittenName(kKindNames, kind.eValue);
}

unsigned RatingStringId(ERating eRating) {
  switch (eRating) {
    case ERating::Medium:
      return IDS_RATING_MEDIUM;
    case ERating::High:
      return IDS_RATING_HIGH;
    case ERating::None:
    case ERating::Unnamed:
      break;
  }
  return 0;
}

bool IsSameKind(const SEntryKind& first, const SEntryKind& second) {
  return first.eValue == second.eValue &&
         (first.eValue != EEntryKind::Unnamed ||
          IsSameTextIgnoringCase(first.strAsStored.c_str(), second.strAsStored.c_str()));
}
