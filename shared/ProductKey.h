// The product key HKEY_CURRENT_USER\Software\Corvinth\Hookwarden and the values in
// it that more than one program reads: the engine library, the console, Update.exe
// and the guard. The console's own settings below it have their tables in
// console/settings/store/.
#pragma once

constexpr const char* kProductKeyPath = "Software\\Corvinth\\Hookwarden";
constexpr const char* kCompanyKeyPath = "Software\\Corvinth";

// Written by the console at every start; the engine library finds its files by them.
constexpr const char* kAppPathValue = "App Path";
constexpr const char* kDefnsVersionValue = "DefnsVersion";
// The user's data folder, beside "App Path", which keeps naming the application
// folder.
constexpr const char* kDataPathValue = "Data Path";

// Where the definitions updater fetches its manifest from; empty or missing: no
// automatic updates. Kept by the console through every full save.
constexpr const char* kUpdateAddressValue = "UpdateAddress";
// Minutes between automatic update checks (text or number; at least 15, an hour
// when missing), and the time of the last check that got an answer. Kept likewise.
constexpr const char* kUpdateIntervalValue = "UpdateInterval";
constexpr const char* kLastUpdateCheckValue = "LastUpdateCheck";
