// The folders below the application folder whose names come from the seeded
// pseudo-random generator: screens (seed 11), help (seed 10), languages (seed 8).
#pragma once

#include <string>

// Application folder + "\first\second" for the seed. Creates both folders when
// they are missing (errors are ignored, so the path is returned in any case).
std::string GetSeededFolder(const char* szAppFolder, unsigned nSeed);

// The seeded folders below the application folder.
std::string GetLanguageFolder(const char* szAppFolder);
std::string GetScreenFolder(const char* szAppFolder);
std::string GetHelpFolder(const char* szAppFolder);
