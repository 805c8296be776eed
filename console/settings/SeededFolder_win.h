// The folders below the application folder whose names come from the seeded
// pseudo-random generator: screens (seed 11), help (seed 10), languages (seed 8).
#pragma once

#include <string>

// Application folder + "\first\second" for the seed. Creates both folders when
// they are missing (errors are ignored, so the path is returned in any case).
std::string GetSeededFolder(const char* szAppFolder, unsigned nSeed);

// The same below the current application's folder (see CHookwardenApp).
std::string GetLanguageFolder();
std::string GetScreenFolder();
std::string GetHelpFolder();
