// Localised texts: the built-in English string table and tray menu of the
// console, replaced by the language file of the settings' current language where
// it has a text. Nothing is cached: each lookup reads the language file anew, so a change
// of language shows in every text fetched afterwards.
#pragma once

#include <windows.h>

#include <string>

#include "shared/Result_win.h"  // SystemErrorText, which the console's messages show

class CConsoleSettings;

// The built-in text of a string-table number in the module that holds this code
// (the console, or a test program built with the console's resources); empty when
// the table lacks it.
std::string LoadBuiltInString(UINT nId);

// Path of the current language's file in the language folder (creates the folders).
std::string GetLanguageFilePath(const CConsoleSettings& settings);

// The text of string nId in the current language, else the built-in text; empty
// when the built-in table lacks the number.
std::string LoadLocalString(const CConsoleSettings& settings, UINT nId);

// Replaces the texts of the menu's top-level items and of the items of its
// submenus with those of the language file's section named szSection backwards.
// Items keep their commands and submenus; texts the file lacks stay.
void TranslateMenu(const CConsoleSettings& settings, HMENU hMenu, const char* szSection);

// The decoded names of the language files in the language folder, in the order the
// folder search returns them, joined with "|".
std::string GetInstalledLanguages(const CConsoleSettings& settings);
