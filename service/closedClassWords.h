// The small words that carry the grammar of English and German, with what
// each becomes in the other language: the dictionary gives them only as
// idioms ("is" as "befindet sich"), so they come from these tables.
#pragma once
#include <string>
#include "germanGrammar.h"

enum WordRole {
    ROLE_ARTICLE,        // a determiner declined like "der" or "ein"
    ROLE_PRONOUN,        // a personal pronoun that can be the subject
    ROLE_OBJECT,         // a personal pronoun that cannot
    ROLE_AUXILIARY,      // a finite form of "sein", "haben" or "werden"
    ROLE_MODAL,          // a modal verb, whose infinitive goes to the end
    ROLE_PREPOSITION,
    ROLE_CONJUNCTION,    // joins two main clauses
    ROLE_SUBORDINATOR,   // starts a clause with its verb at the end
    ROLE_NEGATION,
    ROLE_ADVERB,
    ROLE_NUMBER
};

// An English word by its lemma and the class its analysis gives ("pr",
// "cnjcoo", "adv", "det", "num", "vaux"...). german is a plain word, a stem
// that takes an ending ("dies-", "mein-"), or a verb's infinitive.
struct EnglishSmallWord {
    const char* lemma;
    const char* wordClass;
    const char* german;
    WordRole role;
    GermanCase governs;  // for a preposition
};
// 0 when the word is none of them.
const EnglishSmallWord* findEnglishSmallWord(const std::string& lemma, const std::string& wordClass);

// A German word form and its English. person (0 to 5) is the subject's for
// a pronoun and the verb's for an auxiliary or modal.
struct GermanSmallWord {
    const char* german;
    const char* english;
    WordRole role;
    int person;
};
int isCapital(const std::string& word);
// word with its first letter in lower case, when it is a capital.
std::string lowerFirst(const std::string& word);
const GermanSmallWord* findGermanSmallWord(const std::string& word);
