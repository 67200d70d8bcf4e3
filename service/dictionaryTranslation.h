// Translations from FreeDict's dictd dictionaries: German, which Apertium
// lacks, word by word, and a word's senses beside Apertium's translation.
#pragma once
#include <string>
#include <vector>
#include "dictionarySenses.h"

// Loads the index and opens the data of each pair's dictionary in folder
// ("freedict-eng-deu.index" and "freedict-eng-deu.dict.dz"), at start. A
// further call replaces what the one before loaded.
// Logs what it loaded, what it did not find and what is damaged.
void loadDictionaries(const char* folder);
int hasDictionary(int pairRow);
// Windows-1252 in and out, for a pair that has a dictionary. A text that is
// a headword (a word or a phrase): its senses, one per line, the first
// sense first. Any other text: word by word, the longest phrases the
// dictionary knows replaced by their first translation, under a line that
// says that this is no translation.
void dictionaryRendering(int pairRow, const std::string& text, std::string& rendering);
// Windows-1252 in and out. When text is a single word that the pair's
// dictionary knows, appends an empty line and its senses to translation.
void appendWordSenses(int pairRow, const std::string& text, std::string& translation);
// The ranked senses of a word (UTF-8) in the pair's dictionary, following a
// cross-reference; none when the pair has no dictionary.
void lookUpWord(int pairRow, const std::string& word, std::vector<Sense>& senses);
// 1 when the word (UTF-8) is a headword of the pair's dictionary.
int knowsWord(int pairRow, const std::string& word);
struct TextToken {
    std::string text;
    int isWord;  // letters, digits, apostrophes and hyphens; else what lies between words
};
void splitWords(const std::string& utf8, std::vector<TextToken>& tokens);
