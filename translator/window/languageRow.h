// The From and To lists, their flags and the target heading.
#pragma once
#include <windows.h>
#include "languagePairs.h"

// The flag pictures live from start-up to exit.
void loadFlags();
void freeFlags();
// Reads the names from the string table, in the language pairs' order.
void loadLanguageNames();
Language selectedLanguage(HWND list);
void updateFlagsAndHeading(HWND window);
void fillLanguageLists(HWND window);
void sourceLanguageChanged(HWND window);
void swapLanguages(HWND window);
