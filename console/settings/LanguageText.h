// The platform-free rules of the language files: section and key names, the
// decoding of looked-up values, file names and the language list.
//
// A language file is a profile (INI) file named after the name code of its
// language with the extension ".hwl". Its sections are named by the texts below
// written backwards. Strings are found under the string number rotated left by 8
// bits; tray menu commands under the command number rotated the same way; top-level
// menu items under a key made of their text, a pseudo-random number and their
// position. A value that begins with "*" is the rest written backwards, and "\n"
// and "\t" stand for a line feed and a tab.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

constexpr const char* kAlertsSectionName = "HookwdnAlerts";
constexpr const char* kTrayMenuSectionName = "HookwdnTrayMenu";
constexpr const char* kLanguageFileExtension = ".hwl";

// The text last character first.
std::string ReverseText(const std::string& strText);

// Key of a string or a submenu command: the number rotated left by 8 bits within
// 32 bits, in decimal (7014 gives "1795584").
std::string RotatedNumberKey(std::uint32_t nNumber);

// Key of a top-level menu item: text, number and position written together, then
// reversed ("Tray", 41, 0 gives "0141yarT").
std::string TopLevelMenuKey(const std::string& strText, int nNumber, int nPosition);

// A looked-up value made readable: a leading "*" reverses the rest, then every
// backslash-n becomes a line feed and every backslash-t a tab.
std::string ExpandLanguageValue(const std::string& strValue);

// File name of a language: name code of the language name + ".hwl".
std::string LanguageFileName(const char* szLanguage);

// Language name of a file name found in the language folder: the name without its
// extension, decoded. Empty when the name does not end in ".hwl" (any letter case).
std::string LanguageNameOfFile(const char* szFileName);

// The names joined with "|", none after the last; empty for no names.
std::string JoinLanguageNames(const std::vector<std::string>& names);
