#include "translation.h"
#include <cstring>
#include "apertiumPipeline.h"
#include "apertiumStream.h"
#include "languagePairs.h"
#include "textEncoding.h"

// Debian's pairs all meet in Spanish, so French, Italian and Portuguese go
// through it. German has no pair at all.
struct Route {
    const char* code;
    const char* modes[2];
};

static const Route Routes[] = {
    { "en_es", { "eng-spa", 0 } },
    { "es_en", { "spa-eng", 0 } },
    { "en_fr", { "eng-spa", "es-fr" } },
    { "fr_en", { "fr-es", "spa-eng" } },
    { "en_it", { "eng-spa", "spa-ita" } },
    { "it_en", { "ita-spa", "spa-eng" } },
    { "en_pt", { "eng-spa", "es-pt" } },
    { "pt_en", { "pt-es", "spa-eng" } },
};

int findPair(const char* code)
{
    for (int row = 0; row < PAIR_COUNT; ++row)
        if (strcmp(LanguagePairs[row].code, code) == 0)
            return row;
    return -1;
}

static const Route* findRoute(const char* code)
{
    for (const Route& route : Routes)
        if (strcmp(route.code, code) == 0)
            return &route;
    return 0;
}

static void unixLineBreaks(const std::string& text, std::string& out)
{
    out.clear();
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r')
            out += text[i];
        else if (i + 1 >= text.size() || text[i + 1] != '\n')
            out += '\n';
    }
}

static int hasWords(const std::string& text)
{
    for (char c : text)
        if (c != ' ' && c != '\t' && c != '\n')
            return 1;
    return 0;
}

TranslationResult translateText(const char* pairCode, const std::string& text, std::string& translation)
{
    if (findPair(pairCode) < 0)
        return PAIR_UNKNOWN;
    const Route* route = findRoute(pairCode);
    if (!route)
        return LANGUAGE_UNAVAILABLE;

    std::string lines, utf8, stream, answer;
    unixLineBreaks(text, lines);
    if (!hasWords(lines)) {
        translation = lines;
        return TRANSLATED;
    }
    windows1252ToUtf8(lines, utf8);
    textToStream(utf8, stream);
    // The first mode's answer is already stream format for the second.
    for (const char* mode : route->modes) {
        if (!mode)
            break;
        ApertiumPipeline* pipeline = apertiumPipeline(mode);
        if (!pipeline || !runApertiumPipeline(pipeline, stream, answer))
            return TRANSLATION_FAILED;
        stream = answer;
    }
    streamToText(stream, utf8);
    utf8ToWindows1252(utf8, translation);
    return TRANSLATED;
}
