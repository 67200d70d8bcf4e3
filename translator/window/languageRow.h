// The From and To lists, their flags and the target heading.
#pragma once
#include <windows.h>
#include "languagePairs.h"

// Flag pictures by language index, loaded at start-up in the order of
// FlagBitmapIds and deleted at exit.
extern HBITMAP flagBitmaps[LANGUAGE_COUNT];
extern const WORD FlagBitmapIds[LANGUAGE_COUNT];

// Reads the names from the string table, in the language pairs' order.
void loadLanguageNames();
Language selectedLanguage(HWND list);
void updateFlagsAndHeading(HWND window);
void fillLanguageLists(HWND window);
void sourceLanguageChanged(HWND window);
void swapLanguages(HWND window);
