#include "languagePairs.h"

const LanguagePair LanguagePairs[PAIR_COUNT] = {
    { LANGUAGE_ENGLISH, LANGUAGE_FRENCH, "en_fr" },
    { LANGUAGE_ENGLISH, LANGUAGE_GERMAN, "en_de" },
    { LANGUAGE_ENGLISH, LANGUAGE_ITALIAN, "en_it" },
    { LANGUAGE_ENGLISH, LANGUAGE_PORTUGUESE, "en_pt" },
    { LANGUAGE_ENGLISH, LANGUAGE_SPANISH, "en_es" },
    { LANGUAGE_FRENCH, LANGUAGE_ENGLISH, "fr_en" },
    { LANGUAGE_GERMAN, LANGUAGE_ENGLISH, "de_en" },
    { LANGUAGE_ITALIAN, LANGUAGE_ENGLISH, "it_en" },
    { LANGUAGE_PORTUGUESE, LANGUAGE_ENGLISH, "pt_en" },
    { LANGUAGE_SPANISH, LANGUAGE_ENGLISH, "es_en" },
};

// Windows-1252 bytes, compared with the page's bytes as they arrive.
static const char ResultHeadings[LANGUAGE_COUNT][HEADING_SIZE] = {
    "In English:",
    "En Fran\xE7" "ais:",
    "Auf Deutsch:",
    "In Italiano:",
    "Em Portugu\xEA" "s:",
    "En Espa\xF1" "ol:",
};

const char* const EndMarkers[END_MARKER_COUNT] = {
    "Use the above text to search the Web",
    "To translate, type",
};

void lookupPairCode(Language source, Language target, char* code)
{
    code[0] = 0;
    for (int row = 0; row < PAIR_COUNT; ++row) {
        if (LanguagePairs[row].source != source || LanguagePairs[row].target != target)
            continue;
        int i = 0;
        for (; i < PAIR_CODE_SIZE - 1 && LanguagePairs[row].code[i]; ++i)
            code[i] = LanguagePairs[row].code[i];
        code[i] = 0;
    }
}

const char* headingOf(Language target)
{
    if (target < 0 || target >= LANGUAGE_COUNT)
        return "";
    return ResultHeadings[target];
}

int sourceLanguages(Language* out)
{
    int count = 0;
    for (int row = 0; row < PAIR_COUNT; ++row) {
        int seen = 0;
        for (int i = 0; i < count; ++i)
            seen |= out[i] == LanguagePairs[row].source;
        if (!seen)
            out[count++] = LanguagePairs[row].source;
    }
    return count;
}

int targetsOf(Language source, Language* out)
{
    int count = 0;
    for (int row = 0; row < PAIR_COUNT; ++row)
        if (LanguagePairs[row].source == source)
            out[count++] = LanguagePairs[row].target;
    return count;
}
