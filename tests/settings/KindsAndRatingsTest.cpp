// The stored texts of entry kinds and ratings: every text earlier versions stored
// reads as its enum and is written back as it was stored.
#include <gtest/gtest.h>

#include <string>

#include "console/settings/AlertLog.h"
#include "console/settings/KindsAndRatings.h"

namespace {

TEST(StoredKinds, EveryStoredTextReadsAsItsKindAndIsWrittenBackUnchanged) {
  const struct {
    const char* szStored;
    EEntryKind eKind;
    const char* szShown;
  } cases[] = {
      {"", EEntryKind::None, ""},
      {"IP", EEntryKind::HostIP, "IP"},
      {"URL", EEntryKind::Url, "URL"},
      {"From", EEntryKind::From, "From"},
      {"Subject", EEntryKind::Subject, "Subject"},
      {"Link", EEntryKind::Link, "Link"},
      {"Message", EEntryKind::Message, "Message"},
      {"url", EEntryKind::Url, "URL"},
      {"Script", EEntryKind::Unnamed, "Script"},
  };
  for (const auto& c : cases) {
    const SEntryKind kind = EntryKindOfStoredText(c.szStored);
    EXPECT_EQ(static_cast<int>(c.eKind), static_cast<int>(kind.eValue)) << c.szStored;
    EXPECT_EQ(c.szStored, StoredTextOf(kind));
    EXPECT_EQ(c.szShown, EntryKindText(kind)) << c.szStored;
  }
  EXPECT_TRUE(IsSameKind(EntryKindOfStoredText("url"), EEntryKind::Url));
  EXPECT_TRUE(IsSameKind(EntryKindOfStoredText("Script"), EntryKindOfStoredText("SCRIPT")));
  EXPECT_FALSE(IsSameKind(EntryKindOfStoredText("Script"), EntryKindOfStoredText("Scripts")));
}

// Earlier versions stored the rating in the language the console ran in: an
// entry rated "Hoch" counts as High whatever the language now.
TEST(StoredRatings, EveryStoredTextReadsAsItsRatingCountsAndIsWrittenBackUnchanged) {
  const struct {
    const char* szStored;
    ERating eRating;
  } cases[] = {
      {"", ERating::None},     {"Medium", ERating::Medium}, {"High", ERating::High},      {"Mittel", ERating::Medium},
      {"Hoch", ERating::High}, {"HIGH", ERating::High},     {"Elevee", ERating::Unnamed},
  };
  CAlertLogSettings log;
  for (const auto& c : cases) {
    CLogEntryDetails entry;
    entry.rating = RatingOfStoredText(c.szStored);
    EXPECT_EQ(static_cast<int>(c.eRating), static_cast<int>(entry.rating.eValue)) << c.szStored;
    EXPECT_EQ(c.szStored, StoredTextOf(entry.rating));
    log.AppendEntry(entry);
  }
  EXPECT_EQ(3, log.CountEntriesRated(ERating::High));
  EXPECT_EQ(2, log.CountEntriesRated(ERating::Medium));

  // Raised again to the rating it has, an entry keeps its stored text; raised
  // from Medium it is written in the form the console writes.
  log.SetEntryRating(4, ERating::High);
  EXPECT_EQ("Hoch", StoredTextOf(log.EntryAt(4)->rating));
  log.SetEntryRating(3, ERating::High);
  EXPECT_EQ("High", StoredTextOf(log.EntryAt(3)->rating));
  EXPECT_EQ(4, log.CountEntriesRated(ERating::High));
  EXPECT_EQ(1, log.CountEntriesRated(ERating::Medium));
}

}  // namespace
