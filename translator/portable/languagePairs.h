// The ten language pairs the service offers and the markers of its page.
#pragma once

typedef int Language;

enum {
    LANGUAGE_ENGLISH = 0,
    LANGUAGE_FRENCH = 1,
    LANGUAGE_GERMAN = 2,
    LANGUAGE_ITALIAN = 3,
    LANGUAGE_PORTUGUESE = 4,
    LANGUAGE_SPANISH = 5,
    LANGUAGE_COUNT = 6
};

// A pair code has 5 characters; the table keeps each in a field of 8 bytes,
// the rest zero.
enum { PAIR_COUNT = 10, PAIR_CODE_SIZE = 6, PAIR_CODE_FIELD_SIZE = 8, HEADING_SIZE = 20, END_MARKER_COUNT = 2 };

struct LanguagePair {
    Language source;
    Language target;
    char code[PAIR_CODE_FIELD_SIZE];
};

extern const LanguagePair LanguagePairs[PAIR_COUNT];
extern const char* const EndMarkers[END_MARKER_COUNT];

// Writes the pair's code into code (PAIR_CODE_SIZE bytes); empty when the
// table has no such pair.
void lookupPairCode(Language source, Language target, char* code);
const char* headingOf(Language target);
// Both fill out (LANGUAGE_COUNT entries) in table order and return the count.
int sourceLanguages(Language* out);
int targetsOf(Language source, Language* out);
