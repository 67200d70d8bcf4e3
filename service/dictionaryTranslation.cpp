#include "dictionaryTranslation.h"
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include "dictionaryFiles.h"
#include "dictionarySenses.h"
#include "englishAnalysis.h"
#include "englishToGerman.h"
#include "germanToEnglish.h"
#include "languagePairs.h"
#include "serviceLog.h"
#include "textEncoding.h"

// SENSE_LINES: lines of senses for a word; LINE_BYTES: where a line of
// translations stops taking more; PHRASE_WORDS: the longest phrase looked up.
enum { SENSE_LINES = 5, LINE_BYTES = 60, PHRASE_WORDS = 4 };

struct Dictionary {
    std::string name;
    DictionaryIndex index;
    DictzipFile data;
};

static Dictionary* Dictionaries[PAIR_COUNT];

static const char* const FreeDictCodes[LANGUAGE_COUNT] = { "eng", "fra", "deu", "ita", "por", "spa" };

// In the target language, so that no reader takes it for a translation.
static const char* const WordByWordNotes[LANGUAGE_COUNT] = {
    "Word by word from a dictionary, not a translation:",
    "Mot \xC3\xA0 mot d'apr\xC3\xA8s un dictionnaire, pas une traduction :",
    "Wort f\xC3\xBCr Wort aus einem W\xC3\xB6rterbuch, keine \303\234bersetzung:",
    "Parola per parola da un dizionario, non una traduzione:",
    "Palavra por palavra de um dicion\xC3\xA1rio, n\xC3\xA3o uma tradu\xC3\xA7\xC3\xA3o:",
    "Palabra por palabra de un diccionario, no una traducci\xC3\xB3n:",
};

static int readWholeFile(const std::string& path, std::string& text)
{
    int descriptor = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat status;
    if (descriptor < 0 || fstat(descriptor, &status) != 0) {
        if (descriptor >= 0)
            close(descriptor);
        return 0;
    }
    text.resize((size_t)status.st_size);
    size_t done = 0;
    ssize_t got = 1;
    while (done < text.size() && (got = read(descriptor, &text[done], text.size() - done)) > 0)
        done += (size_t)got;
    close(descriptor);
    return done == text.size();
}

static Dictionary* loadDictionary(const std::string& folder, const std::string& name, std::string& missing)
{
    std::string base = folder + "/freedict-" + name, text, error;
    if (!readWholeFile(base + ".index", text)) {
        missing += (missing.empty() ? "" : ", ") + name;
        return 0;
    }
    Dictionary* dictionary = new Dictionary;
    dictionary->name = name;
    int data = open((base + ".dict.dz").c_str(), O_RDONLY | O_CLOEXEC);
    if (data < 0)
        error = std::string("no data file: ") + strerror(errno);
    if (data >= 0 && parseDictionaryIndex(std::move(text), dictionary->index, error)
        && openDictzip(data, dictionary->data, error)) {
        logLine(LEVEL_INFO, name.c_str(), "dictionary of %zu headwords", dictionary->index.lines.size());
        return dictionary;
    }
    logLine(LEVEL_WARNING, name.c_str(), "dictionary not used: %s", error.c_str());
    if (data >= 0)
        close(data);
    delete dictionary;
    return 0;
}

void loadDictionaries(const char* folder)
{
    auto start = std::chrono::steady_clock::now();
    std::string missing;
    for (int row = 0; row < PAIR_COUNT; ++row) {
        if (Dictionaries[row])
            close(Dictionaries[row]->data.descriptor);
        delete Dictionaries[row];
        std::string name = FreeDictCodes[LanguagePairs[row].source];
        Dictionaries[row] = loadDictionary(folder, name + "-" + FreeDictCodes[LanguagePairs[row].target], missing);
    }
    if (!missing.empty())
        logLine(LEVEL_WARNING, "service", "no dictionary in %s for %s", folder, missing.c_str());
    std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
    logLine(LEVEL_INFO, "service", "dictionaries read in %.0f ms", took.count());
}

int hasDictionary(int pairRow)
{
    return Dictionaries[pairRow] != 0;
}

// The ranked senses of word (UTF-8), following one cross-reference when
// the entries have none of their own.
static void lookUp(const Dictionary& dictionary, const std::string& word, std::vector<Sense>& senses)
{
    std::string asked = word, text, error;
    for (int hop = 0; hop < 2 && senses.empty() && !asked.empty(); ++hop) {
        std::vector<EntrySpan> spans;
        findEntries(dictionary.index, asked, &spans);
        std::string reference;
        for (EntrySpan span : spans) {
            if (!readDictzipEntry(dictionary.data, span, text, error)) {
                logLine(LEVEL_ERROR, dictionary.name.c_str(), "dictionary entry unreadable: %s", error.c_str());
                continue;
            }
            std::string seeAlso = addSenses(asked, text, senses);
            if (reference.empty())
                reference = seeAlso;
        }
        asked = reference;
    }
    rankSenses(senses);
}

void lookUpWord(int pairRow, const std::string& word, std::vector<Sense>& senses)
{
    if (Dictionaries[pairRow])
        lookUp(*Dictionaries[pairRow], word, senses);
}

int knowsWord(int pairRow, const std::string& word)
{
    return Dictionaries[pairRow] && findEntries(Dictionaries[pairRow]->index, word, 0) > 0;
}

// Letters, digits, apostrophes and hyphens make words. Of the characters
// past ASCII that Windows-1252 brings, the symbols of U+0080 to U+00BF and
// the punctuation of U+2000 to U+206F do not.
static size_t wordCharSize(const std::string& text, size_t at)
{
    unsigned char c = (unsigned char)text[at];
    if (c < 0x80) {
        int letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
        return letter || c == '\'' || c == '-' ? 1 : 0;
    }
    unsigned char next = at + 1 < text.size() ? (unsigned char)text[at + 1] : 0;
    if (c < 0xC0 || (c == 0xC2 && next < 0xC0) || (c == 0xE2 && next >= 0x80 && next <= 0x81))
        return 0;
    size_t size = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : 2;
    return std::min(size, text.size() - at);
}

// The text without punctuation or blanks around it, inner blanks as one.
static std::string bareText(const std::string& text)
{
    size_t start = 0, end = 0;
    while (start < text.size() && !wordCharSize(text, start))
        ++start;
    for (size_t at = start; at < text.size();) {
        size_t size = wordCharSize(text, at);
        at += size ? size : 1;
        if (size)
            end = at;
    }
    std::string bare;
    for (size_t i = start; i < end; ++i) {
        char c = text[i] == '\n' || text[i] == '\t' ? ' ' : text[i];
        if (c != ' ' || bare.back() != ' ')
            bare += c;
    }
    return bare;
}

// One line per sense, each a few translations; a line said before, or
// already given as the translation, is left out.
static void appendSenseLines(const std::vector<Sense>& senses, const std::string& given, std::string& out)
{
    std::vector<std::string> lines;
    for (const Sense& sense : senses) {
        std::string line;
        for (const std::string& word : sense.translations) {
            if (!line.empty() && line.size() + word.size() > LINE_BYTES)
                break;
            line += (line.empty() ? "" : ", ") + word;
        }
        if (compareFolded(line, given) != 0 && std::find(lines.begin(), lines.end(), line) == lines.end())
            lines.push_back(line);
        if (lines.size() == SENSE_LINES)
            break;
    }
    for (const std::string& line : lines)
        out += line + "\n";
}

struct Token {
    size_t start, end;
    int isWord;
};

static void tokenize(const std::string& text, std::vector<Token>& tokens)
{
    for (size_t at = 0; at < text.size();) {
        Token token = { at, at, wordCharSize(text, at) > 0 };
        while (token.end < text.size() && (wordCharSize(text, token.end) > 0) == (token.isWord != 0))
            token.end += std::max<size_t>(1, wordCharSize(text, token.end));
        tokens.push_back(token);
        at = token.end;
    }
}

static std::string tokenText(const std::string& text, const Token& token)
{
    return text.substr(token.start, token.end - token.start);
}

void splitWords(const std::string& utf8, std::vector<TextToken>& tokens)
{
    std::vector<Token> spans;
    tokenize(utf8, spans);
    for (const Token& span : spans)
        tokens.push_back(TextToken { tokenText(utf8, span), span.isWord });
}

// Replaces the longest known phrase that starts at tokens[first] and returns
// the last token it took, or first when the word stays as it is.
static size_t renderPhrase(const Dictionary& dictionary, const std::string& text, const std::vector<Token>& tokens,
    size_t first, int sentenceStart, std::string& out)
{
    std::vector<size_t> ends(1, first);
    std::string phrase = tokenText(text, tokens[first]);
    std::vector<std::string> phrases(1, phrase);
    for (size_t i = first + 2; i < tokens.size() && ends.size() < PHRASE_WORDS; i += 2) {
        if (tokenText(text, tokens[i - 1]).find_first_not_of(' ') != std::string::npos)
            break;
        phrase += " " + tokenText(text, tokens[i]);
        phrases.push_back(phrase);
        ends.push_back(i);
    }
    for (size_t n = phrases.size(); n-- > 0;) {
        std::string asked = phrases[n];
        // "The" and "A" begin sentences as the article, not as a name or a letter.
        if (sentenceStart && asked[0] >= 'A' && asked[0] <= 'Z')
            asked[0] = (char)(asked[0] + 32);
        std::vector<Sense> senses;
        if (findEntries(dictionary.index, asked, 0) > 0)
            lookUp(dictionary, asked, senses);
        if (senses.empty())
            continue;
        std::string translation = senses[0].translations[0];
        if (asked[0] != phrases[n][0] && translation[0] >= 'a' && translation[0] <= 'z')
            translation[0] = (char)(translation[0] - 32);
        out += translation;
        return ends[n];
    }
    out += phrases[0];
    return first;
}

static void renderWordByWord(const Dictionary& dictionary, const std::string& text, std::string& out)
{
    std::vector<Token> tokens;
    tokenize(text, tokens);
    int sentenceStart = 1;
    for (size_t i = 0; i < tokens.size(); ++i) {
        if (tokens[i].isWord) {
            i = renderPhrase(dictionary, text, tokens, i, sentenceStart, out);
            sentenceStart = 0;
            continue;
        }
        std::string between = tokenText(text, tokens[i]);
        out += between;
        if (between.find_first_of(".!?\n") != std::string::npos)
            sentenceStart = 1;
    }
}

void dictionaryRendering(int pairRow, const std::string& text, std::string& rendering)
{
    const Dictionary& dictionary = *Dictionaries[pairRow];
    std::string utf8, out;
    windows1252ToUtf8(text, utf8);
    std::vector<Sense> senses;
    std::string whole = bareText(utf8);
    if (!whole.empty())
        lookUp(dictionary, whole, senses);
    std::vector<EnglishWord> words;
    if (!senses.empty()) {
        appendSenseLines(senses, "", out);
        utf8ToWindows1252(out, rendering);
        return;
    }
    out = WordByWordNotes[LanguagePairs[pairRow].target];
    out += "\n";
    if (LanguagePairs[pairRow].source == LANGUAGE_GERMAN)
        renderGermanAsEnglish(pairRow, utf8, out);
    else if (LanguagePairs[pairRow].target == LANGUAGE_GERMAN && analyseEnglish(utf8, words))
        renderEnglishAsGerman(pairRow, words, out);
    else
        renderWordByWord(dictionary, utf8, out);
    utf8ToWindows1252(out, rendering);
}

void appendWordSenses(int pairRow, const std::string& text, std::string& translation)
{
    if (!Dictionaries[pairRow])
        return;
    std::string utf8, word;
    windows1252ToUtf8(text, utf8);
    word = bareText(utf8);
    if (word.empty() || word.find(' ') != std::string::npos)
        return;
    std::vector<Sense> senses;
    lookUp(*Dictionaries[pairRow], word, senses);
    std::string given, lines, added;
    windows1252ToUtf8(translation, given);
    given = bareText(given);
    appendSenseLines(senses, given, lines);
    if (lines.empty())
        return;
    utf8ToWindows1252(lines, added);
    if (!translation.empty() && translation.back() != '\n')
        translation += '\n';
    translation += "\n" + added;
}
