// One run of the updater: fetch the manifest from the update address, check its
// signature and expiry, refuse a version that is not newer than the installed one,
// make the new shipped file from the signed difference to the installed one where
// the manifest offers it and it fits (else fetch the whole file), check its size,
// SHA-256, version line and decrypted sections, and only then put it in place of
// "\hkwdn1.hwd" in the user's data folder with the manifest beside it, which vouches
// for it from then on (each written beside, then renamed over). The application
// folder's file, which users cannot write, is never changed. "Installed" is what
// updater/InstalledDefinitions_win.h finds. Any failure leaves the old files as
// they were. Files are read, made and written in pieces: a list of a million
// entries is never held whole.
#pragma once

#include <functional>
#include <string>

#include "shared/Result.h"
#include "updater/UpdateProgram.h"

// What a run did when it did not fail: installed, found the definitions up to date
// or had no address. A failure's text is the sentence for the user.
struct SUpdateOutcome {
  EUpdateExitCode code = kUpdateUpToDate;
  std::string strMessage;  // one sentence for the user
  std::string strVersion;  // of the definitions installed
};

using UpdateProgress = std::function<void(const std::string&)>;

CResultOf<SUpdateOutcome> RunDefinitionsUpdate(const std::string& strAppFolder, const std::string& strDataFolder,
                                               const std::string& strAddress, long long nNow,
                                               const UpdateProgress& progress);
