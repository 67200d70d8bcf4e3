#include "translation.h"
#include <algorithm>
#include <cstring>
#include <vector>
#include "apertiumPipeline.h"
#include "apertiumStream.h"
#include "dictionaryTranslation.h"
#include "englishAnalysis.h"
#include "languagePairs.h"
#include "textEncoding.h"
#include "unknownWords.h"

// Debian has no direct pair between English and French, Italian or
// Portuguese; they meet in Spanish and in Catalan. Each direction takes the
// bridge whose translations score better (bench/route-quality): Catalan from
// English, Spanish into it. German has no pair at all: it comes from the
// dictionary, with English analysed by the first stages of eng-spa. The last
// mode of a route marks unknown words ("*"), for the dictionary to replace.
struct Route {
    Language source;
    Language target;
    const char* modes[2];
};

static const Route Routes[] = {
    { LANGUAGE_ENGLISH, LANGUAGE_SPANISH, { "eng-spa*", 0 } },
    { LANGUAGE_SPANISH, LANGUAGE_ENGLISH, { "spa-eng*", 0 } },
    { LANGUAGE_ENGLISH, LANGUAGE_FRENCH, { "eng-cat", "cat-fra*" } },
    { LANGUAGE_FRENCH, LANGUAGE_ENGLISH, { "fr-es", "spa-eng*" } },
    { LANGUAGE_ENGLISH, LANGUAGE_ITALIAN, { "eng-cat", "cat-ita*" } },
    { LANGUAGE_ITALIAN, LANGUAGE_ENGLISH, { "ita-spa", "spa-eng*" } },
    { LANGUAGE_ENGLISH, LANGUAGE_PORTUGUESE, { "eng-cat", "cat-por*" } },
    { LANGUAGE_PORTUGUESE, LANGUAGE_ENGLISH, { "pt-es", "spa-eng*" } },
};

int findPair(const char* code)
{
    for (int row = 0; row < PAIR_COUNT; ++row)
        if (strcmp(LanguagePairs[row].code, code) == 0)
            return row;
    return -1;
}

std::string pairCodeList()
{
    std::string list;
    for (const LanguagePair& pair : LanguagePairs)
        list += (list.empty() ? "" : ", ") + std::string(pair.code);
    return list;
}

int startTranslation(int pipelineCount, int answerTimeoutMs)
{
    std::vector<const char*> modes(1, EnglishAnalysisMode);
    for (const Route& route : Routes)
        for (const char* mode : route.modes)
            if (mode && std::none_of(modes.begin(), modes.end(), [mode](const char* m) { return !strcmp(m, mode); }))
                modes.push_back(mode);
    return startApertiumPipelines(modes, pipelineCount, answerTimeoutMs);
}

static const Route* findRoute(const LanguagePair& pair)
{
    for (const Route& route : Routes)
        if (route.source == pair.source && route.target == pair.target)
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

static int isLower(char c)
{
    return c >= 'a' && c <= 'z';
}

// Cuts the text into sentences, so that the pipeline's stages can work on
// several at once. Only a plain sentence end is a cut: a word of three or
// more small letters, a full stop, question or exclamation mark, blanks and
// a capital. Abbreviations ("e.g. food", "U.S. economy", "p.m. now") and
// line breaks stay inside a piece, since Apertium reads what follows them
// differently when it starts a chunk of its own.
static void splitSentences(const std::string& text, std::vector<std::string>& pieces)
{
    pieces.clear();
    size_t start = 0;
    for (size_t i = 0; i < text.size();) {
        if (text[i] != ' ') {
            ++i;
            continue;
        }
        size_t end = i;
        while (end < text.size() && text[end] == ' ')
            ++end;
        char stop = i > 0 ? text[i - 1] : 0;
        if ((stop == '.' || stop == '!' || stop == '?') && i >= 4 && isLower(text[i - 2]) && isLower(text[i - 3])
            && isLower(text[i - 4]) && end < text.size() && text[end] >= 'A' && text[end] <= 'Z') {
            pieces.push_back(text.substr(start, end - start));
            start = end;
        }
        i = end;
    }
    if (start < text.size())
        pieces.push_back(text.substr(start));
}

TranslationResult translateText(int pairRow, const std::string& text, std::string& translation)
{
    const Route* route = findRoute(LanguagePairs[pairRow]);
    if (!route && !hasDictionary(pairRow))
        return LANGUAGE_UNAVAILABLE;

    std::string lines, utf8;
    unixLineBreaks(text, lines);
    if (!hasWords(lines)) {
        translation = lines;
        return TRANSLATED;
    }
    if (!route) {
        dictionaryRendering(pairRow, lines, translation);
        return TRANSLATED;
    }
    windows1252ToUtf8(lines, utf8);
    std::vector<std::string> pieces, chunks, answers;
    splitSentences(utf8, pieces);
    chunks.resize(pieces.size());
    for (size_t i = 0; i < pieces.size(); ++i)
        textToStream(pieces[i], chunks[i]);
    // The first mode's answers are already stream format for the second.
    for (const char* mode : route->modes) {
        if (!mode)
            break;
        PipelineResult result = runApertiumMode(mode, chunks, answers);
        if (result == PIPELINE_BUSY)
            return TRANSLATION_BUSY;
        if (result != PIPELINE_ANSWERED)
            return TRANSLATION_FAILED;
        chunks.swap(answers);
    }
    std::string piece;
    utf8.clear();
    for (std::string& chunk : chunks) {
        replaceUnknownWords(pairRow, chunk);
        streamToText(chunk, piece);
        utf8 += piece;
    }
    utf8ToWindows1252(utf8, translation);
    appendWordSenses(pairRow, lines, translation);
    return TRANSLATED;
}
