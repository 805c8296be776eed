// The crash-safe save of changes. The changes are first written, encoded, into the
// journal key beside the product key and marked complete; only then are they
// applied to the product key, and the journal is deleted last. A save cut short
// before the mark leaves the product key as it was and the next start drops the
// journal; one cut short after it is finished by the next start, which applies the
// changes again (applying twice gives the same). Either way the product key holds
// the old or the new settings, never a mix.
#pragma once

#include <functional>

#include "console/settings/store/StoreChanges.h"
#include "console/settings/store/StoreKey.h"
#include "console/settings/store/StoredTree.h"

constexpr const char* kJournalKeyName = "Hookwarden.Journal";

// Brings the product key szProductKey below companyKey from what *pStored holds to
// what write writes, changing only the differences. *pStored is the new state
// afterwards when the new settings are in place or will be once the journal is
// finished, and stays as it was when they never will. The registry's result of
// the first change that failed, success when none did. Values of another
// type that kept (KeptAsStored) lists are left as stored.
CResult SaveStoreChanges(IStoreKey& companyKey, const char* szProductKey, SStoredKey* pStored,
                         const std::function<void(IStoreKey&)>& write, const std::vector<SStoreChange>& kept = {});

// The same with changes already found: journal, mark, product key, clean-up.
CResult SaveThroughJournal(IStoreKey& companyKey, const char* szProductKey, const std::vector<SStoreChange>& changes,
                           bool* pbComplete);

// Finishes a journal that is marked complete, drops one that is not. *pbChanged
// tells whether the product key was changed.
CResult FinishJournal(IStoreKey& companyKey, const char* szProductKey, bool* pbChanged);

// The changes of a journal that is marked complete and still waits to be applied;
// false when there is none (or it is damaged).
bool ReadMarkedJournal(IStoreKey& companyKey, std::vector<SStoreChange>* pChanges);

// Drops the journal whatever its state.
CResult DropJournal(IStoreKey& companyKey);
