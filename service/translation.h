// Translates Windows-1252 text for one of the program's pair codes.
#pragma once
#include <string>

enum TranslationResult {
    TRANSLATED,
    PAIR_UNKNOWN,
    LANGUAGE_UNAVAILABLE,  // a pair of the program that no installed Apertium pair serves
    TRANSLATION_FAILED
};

// Row of the pair code in LanguagePairs, or -1.
int findPair(const char* code);
// Line breaks of the text (CR LF, LF or CR) come back as LF.
TranslationResult translateText(const char* pairCode, const std::string& text, std::string& translation);
