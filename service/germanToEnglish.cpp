#include "germanToEnglish.h"
#include <algorithm>
#include <cstring>
#include <vector>
#include "closedClassWords.h"
#include "dictionaryTranslation.h"
#include "germanGrammar.h"

// Types of this file only: the other direction has its own.
namespace {

// The German form of a word, which its English takes over.
enum WordForm { FORM_BASE, FORM_PLURAL, FORM_PRESENT, FORM_PAST, FORM_PARTICIPLE };

enum PieceRole {
    PIECE_OTHER,
    PIECE_PUNCTUATION,
    PIECE_BREAK,        // a conjunction between main clauses
    PIECE_SUBORDINATOR,
    PIECE_FINITE,
    PIECE_NONFINITE,
    PIECE_SUBJECT,
    PIECE_NEGATION,
    PIECE_PARTICLE
};

struct Piece {
    std::string text;
    std::string before;
    PieceRole role;
    std::string german;   // a main verb as typed, for a prefix that joins it
    std::string english;  // and its English uninflected
    int person;
    WordForm form;
};

}  // namespace

struct EnglishVerb {
    const char* base;
    const char* past;
    const char* participle;
};

static const EnglishVerb IrregularVerbs[] = {
    { "be", "was", "been" }, { "have", "had", "had" }, { "go", "went", "gone" }, { "come", "came", "come" },
    { "see", "saw", "seen" }, { "take", "took", "taken" }, { "give", "gave", "given" }, { "eat", "ate", "eaten" },
    { "drink", "drank", "drunk" }, { "speak", "spoke", "spoken" }, { "read", "read", "read" },
    { "write", "wrote", "written" }, { "find", "found", "found" }, { "leave", "left", "left" },
    { "sleep", "slept", "slept" }, { "run", "ran", "run" }, { "meet", "met", "met" }, { "buy", "bought", "bought" },
    { "bring", "brought", "brought" }, { "think", "thought", "thought" }, { "know", "knew", "known" },
    { "make", "made", "made" }, { "do", "did", "done" }, { "say", "said", "said" }, { "tell", "told", "told" },
    { "get", "got", "got" }, { "forget", "forgot", "forgotten" }, { "begin", "began", "begun" },
    { "lose", "lost", "lost" }, { "win", "won", "won" }, { "sing", "sang", "sung" }, { "sit", "sat", "sat" },
    { "stand", "stood", "stood" }, { "fall", "fell", "fallen" }, { "hold", "held", "held" }, { "keep", "kept", "kept" },
    { "feel", "felt", "felt" }, { "pay", "paid", "paid" }, { "put", "put", "put" }, { "send", "sent", "sent" },
    { "spend", "spent", "spent" }, { "build", "built", "built" }, { "teach", "taught", "taught" },
    { "catch", "caught", "caught" }, { "fly", "flew", "flown" }, { "swim", "swam", "swum" },
    { "drive", "drove", "driven" }, { "ride", "rode", "ridden" }, { "break", "broke", "broken" },
    { "choose", "chose", "chosen" }, { "wear", "wore", "worn" }, { "understand", "understood", "understood" },
    { "become", "became", "become" }, { "grow", "grew", "grown" }, { "throw", "threw", "thrown" },
    { "hear", "heard", "heard" }, { "let", "let", "let" }, { "cost", "cost", "cost" }, { "sell", "sold", "sold" },
    { "lie", "lay", "lain" }, { "shut", "shut", "shut" }, { "steal", "stole", "stolen" }, { "lend", "lent", "lent" },
};

static const char* const IrregularNouns[][2] = {
    { "man", "men" }, { "woman", "women" }, { "child", "children" }, { "person", "people" }, { "foot", "feet" },
    { "tooth", "teeth" }, { "mouse", "mice" }, { "fish", "fish" }, { "sheep", "sheep" },
};

// Prefixes that a verb leaves at the end of its clause.
static const char* const Particles[] = { "ab", "an", "auf", "aus", "ein", "mit", "vor", "weg", "zurück", "los",
    "fest", "fern", "nach", "zusammen", "her", "hin", "zu" };

static int endsWith(const std::string& word, const char* ending)
{
    size_t size = strlen(ending);
    return word.size() >= size && word.compare(word.size() - size, size, ending) == 0;
}

static int isVowel(char c)
{
    return strchr("aeiou", c) != 0;
}

// "carry" → "carries", "watch" → "watches", "book" → "books".
static std::string withS(const std::string& word)
{
    if (endsWith(word, "y") && word.size() > 1 && !isVowel(word[word.size() - 2]))
        return word.substr(0, word.size() - 1) + "ies";
    if (endsWith(word, "s") || endsWith(word, "x") || endsWith(word, "z") || endsWith(word, "ch") || endsWith(word, "sh")
        || endsWith(word, "o"))
        return word + "es";
    return word + "s";
}

// "stop" → "stopped" is beyond a rule this size; "live" → "lived", "carry" → "carried".
static std::string withEd(const std::string& word)
{
    if (endsWith(word, "e"))
        return word + "d";
    if (endsWith(word, "y") && word.size() > 1 && !isVowel(word[word.size() - 2]))
        return word.substr(0, word.size() - 1) + "ied";
    return word + "ed";
}

// The English form of a translation: its first word for a verb ("book sb."
// → "booked"), its last for a noun.
static std::string englishForm(const std::string& translation, WordForm form, int person, int isVerb)
{
    if (form == FORM_BASE || (form == FORM_PRESENT && person != 2))
        return translation;
    size_t space = isVerb ? translation.find(' ') : translation.rfind(' ');
    std::string word = isVerb ? translation.substr(0, space) : translation.substr(space == std::string::npos ? 0 : space + 1);
    std::string rest = space == std::string::npos ? "" : isVerb ? translation.substr(space) : translation.substr(0, space + 1);
    std::string formed;
    if (form == FORM_PLURAL) {
        formed = withS(word);
        for (const auto& row : IrregularNouns)
            if (word == row[0])
                formed = row[1];
        return rest + formed;
    }
    const EnglishVerb* irregular = 0;
    for (const EnglishVerb& verb : IrregularVerbs)
        if (word == verb.base)
            irregular = &verb;
    if (form == FORM_PRESENT)
        formed = word == "be" ? "is" : word == "have" ? "has" : withS(word);
    else if (irregular)
        formed = form == FORM_PAST ? irregular->past : irregular->participle;
    else
        formed = withEd(word);
    return formed + rest;
}

namespace {

struct Candidate {
    std::string lemma;
    WordClass wordClass;
    WordForm form;
    std::string english = {};  // the translation, uninflected
};

}  // namespace

static void undoUmlaut(std::string& word)
{
    static const char* const Umlauts[][2] = { { "\xC3\xA4", "a" }, { "\xC3\xB6", "o" }, { "\xC3\xBC", "u" } };
    for (const auto& row : Umlauts) {
        size_t at = word.rfind(row[0]);
        if (at != std::string::npos) {
            word.replace(at, 2, row[1]);
            return;
        }
    }
}

// The lemmas a word form may have, most likely first: the form itself, the
// singular of a plural, the infinitive of a verb form, an adjective's base.
static void lemmaCandidates(const std::string& word, int capitalised, std::vector<Candidate>& out)
{
    out.push_back(Candidate { word, capitalised ? CLASS_NOUN : CLASS_OTHER, FORM_BASE });
    if (capitalised) {
        std::string singular = irregularSingular(word);
        if (!singular.empty())
            out.push_back(Candidate { singular, CLASS_NOUN, FORM_PLURAL });
        for (const char* ending : { "nen", "en", "n", "er", "e", "s" }) {
            if (!endsWith(word, ending) || word.size() < strlen(ending) + 3)
                continue;
            std::string stem = word.substr(0, word.size() - strlen(ending));
            out.push_back(Candidate { stem, CLASS_NOUN, FORM_PLURAL });
            if (ending[0] == 'e' && ending[1] != 'n') {
                undoUmlaut(stem);
                out.push_back(Candidate { stem, CLASS_NOUN, FORM_PLURAL });
            }
        }
        return;
    }
    int tense = 0;
    std::string irregular = irregularInfinitive(word, tense);
    if (!irregular.empty())
        out.push_back(Candidate { irregular, CLASS_VERB, tense == 2 ? FORM_PARTICIPLE : tense ? FORM_PAST : FORM_PRESENT });
    if (word.compare(0, 2, "ge") == 0 && word.size() > 5) {
        std::string stem = word.substr(2);
        if (endsWith(stem, "et"))
            out.push_back(Candidate { stem.substr(0, stem.size() - 2) + "en", CLASS_VERB, FORM_PARTICIPLE });
        if (endsWith(stem, "t"))
            out.push_back(Candidate { stem.substr(0, stem.size() - 1) + "en", CLASS_VERB, FORM_PARTICIPLE });
        if (endsWith(stem, "en"))
            out.push_back(Candidate { stem, CLASS_VERB, FORM_PARTICIPLE });
    }
    static const struct {
        const char* ending;
        WordForm form;
    } VerbEndings[] = { { "test", FORM_PAST }, { "ten", FORM_PAST }, { "tet", FORM_PAST }, { "te", FORM_PAST },
        { "est", FORM_PRESENT }, { "et", FORM_PRESENT }, { "st", FORM_PRESENT }, { "t", FORM_PRESENT },
        { "e", FORM_PRESENT } };
    for (const auto& verb : VerbEndings)
        if (endsWith(word, verb.ending) && word.size() > strlen(verb.ending) + 2)
            out.push_back(Candidate { word.substr(0, word.size() - strlen(verb.ending)) + "en", CLASS_VERB, verb.form });
    if (endsWith(word, "en"))
        out.push_back(Candidate { word, CLASS_VERB, FORM_BASE });
    for (const char* ending : { "sten", "ste", "en", "em", "er", "es", "e" })
        if (endsWith(word, ending) && word.size() > strlen(ending) + 2)
            out.push_back(Candidate { word.substr(0, word.size() - strlen(ending)), CLASS_ADJECTIVE, FORM_BASE });
}

// The English of an open-class word, and its class; "" when the dictionary
// knows no lemma of it. Where the word stands makes a class likely (expected):
// a verb at the end of a clause with an auxiliary, an adjective before a noun.
static std::string translateWord(int pairRow, const std::string& word, int capitalised, Candidate& found, int person,
    WordClass expected = CLASS_OTHER)
{
    std::vector<Candidate> candidates;
    lemmaCandidates(word, capitalised, candidates);
    if (expected != CLASS_OTHER && candidates[0].wordClass == CLASS_OTHER)
        candidates[0].wordClass = expected;
    std::stable_partition(candidates.begin(), candidates.end(),
        [expected](const Candidate& candidate) { return candidate.wordClass == expected; });
    // First a lemma of a class (the dictionary lists some forms untagged:
    // "fährt" as "operates"), then any.
    for (int strict = 1; strict >= 0; --strict)
    for (const Candidate& candidate : candidates) {
        if ((strict && candidate.wordClass == CLASS_OTHER) || !knowsWord(pairRow, candidate.lemma))
            continue;
        std::vector<Sense> senses;
        lookUpWord(pairRow, candidate.lemma, senses);
        size_t index = 0;
        WordClass wanted = candidate.wordClass;
        const Sense* sense = senseOfClass(senses, wanted, index);
        // A form found by its ending must be of the class the ending belongs to.
        int mustMatch = strict || candidate.lemma != word;
        if (!sense || (mustMatch && wanted != CLASS_OTHER && sense->wordClass != wanted))
            continue;
        // The word as typed: a capital is a noun's, else the sense's class.
        found = candidate;
        found.wordClass = sense->wordClass;
        if (capitalised && candidate.lemma == word)
            found.wordClass = CLASS_NOUN;
        found.english = plainTranslation(sense->translations[index]);
        return englishForm(found.english, found.form, person, found.wordClass == CLASS_VERB);
    }
    return "";
}

// A compound noun the dictionary lacks ("Apfelkuchen") as its last noun
// after the translation of what comes before it: "apple cake". The first
// part may end in a joining "s", "n" or "en" ("Geburtstagsfeier").
static std::string compoundTranslation(int pairRow, const std::string& word, Candidate& found)
{
    enum { PART_BYTES = 3 };
    for (size_t split = PART_BYTES; split + PART_BYTES < word.size(); ++split) {
        if (((unsigned char)word[split] & 0xC0) == 0x80)
            continue;
        std::string tail = word.substr(split);
        Candidate last;
        std::string english = knowsWord(pairRow, tail) ? translateWord(pairRow, tail, 1, last, 2) : "";
        if (english.empty() || last.wordClass != CLASS_NOUN)
            continue;
        for (const char* joint : { "", "s", "n", "en", "es" }) {
            std::string head = word.substr(0, split);
            if (head.size() <= strlen(joint) + PART_BYTES || !endsWith(head, joint))
                continue;
            head.resize(head.size() - strlen(joint));
            Candidate first;
            std::string before = translateWord(pairRow, head, 1, first, 2);
            if (before.empty())
                before = translateWord(pairRow, lowerFirst(head), 0, first, 2);
            if (!before.empty()) {
                found = last;
                return before + " " + english;
            }
        }
    }
    return "";
}

namespace {

struct Rendering {
    int pairRow;
    std::vector<Piece> pieces;
    int finiteSeen = 0;
};

}  // namespace

static void addPiece(Rendering& r, const std::string& text, const std::string& before, PieceRole role, int person = 2)
{
    r.pieces.push_back(Piece { text, before, role, "", "", person, FORM_BASE });
}

static void renderWord(Rendering& r, const std::vector<TextToken>& tokens, size_t i, int sentenceStart)
{
    const std::string& word = tokens[i].text;
    std::string before = i > 0 && !tokens[i - 1].isWord ? tokens[i - 1].text : "";
    int clauseEnd = i + 1 >= tokens.size() || tokens[i + 1].text.find_first_not_of(' ') != std::string::npos;
    const TextToken* next = i + 2 < tokens.size() ? &tokens[i + 2] : 0;
    if (clauseEnd && r.finiteSeen
        && std::any_of(std::begin(Particles), std::end(Particles), [&word](const char* p) { return word == p; })) {
        addPiece(r, word, before, PIECE_PARTICLE);
        return;
    }
    const GermanSmallWord* small = findGermanSmallWord(word);
    // "sein" is "his" before a noun, otherwise the verb.
    if (word == "sein" && !(next && !clauseEnd && isCapital(next->text)))
        small = 0;
    if (small && !(isCapital(word) && !sentenceStart && small->role != ROLE_PRONOUN && small->role != ROLE_OBJECT
                     && small->role != ROLE_ARTICLE && small->german[0] >= 'a')) {
        PieceRole role = small->role == ROLE_AUXILIARY || small->role == ROLE_MODAL ? PIECE_FINITE
            : small->role == ROLE_PRONOUN ? PIECE_SUBJECT : small->role == ROLE_NEGATION ? PIECE_NEGATION
            : small->role == ROLE_CONJUNCTION ? PIECE_BREAK : small->role == ROLE_SUBORDINATOR ? PIECE_SUBORDINATOR
            : PIECE_OTHER;
        if (role == PIECE_FINITE)
            r.finiteSeen = 1;
        if (role == PIECE_BREAK || role == PIECE_SUBORDINATOR)
            r.finiteSeen = 0;
        addPiece(r, small->english, before, role, small->person);
        return;
    }
    int capitalised = isCapital(word) && !sentenceStart;
    // A finite verb in "t" is the third person singular: "wohnt" → "lives".
    int person = endsWith(word, "t") && !endsWith(word, "st") ? 2 : 0;
    Candidate found;
    WordClass expected = clauseEnd && r.finiteSeen ? CLASS_VERB
        : next && !clauseEnd && isCapital(next->text) && !isCapital(word) ? CLASS_ADJECTIVE : CLASS_OTHER;
    std::string english = translateWord(r.pairRow, word, capitalised, found, person, expected);
    if (english.empty() && isCapital(word) && sentenceStart)
        english = translateWord(r.pairRow, lowerFirst(word), 0, found, person);
    if (english.empty() && isCapital(word) && sentenceStart)
        english = translateWord(r.pairRow, word, 1, found, person);
    if (english.empty() && isCapital(word))
        english = compoundTranslation(r.pairRow, word, found);
    if (english.empty()) {
        addPiece(r, word, before, PIECE_OTHER);
        return;
    }
    PieceRole role = PIECE_OTHER;
    if (found.wordClass == CLASS_VERB) {
        int finite = found.form == FORM_PRESENT || found.form == FORM_PAST;
        role = finite && !r.finiteSeen ? PIECE_FINITE : r.finiteSeen ? PIECE_NONFINITE : PIECE_OTHER;
        r.finiteSeen |= finite;
    }
    addPiece(r, english, before, role, person);
    if (found.wordClass == CLASS_VERB)
        r.pieces.back().german = word, r.pieces.back().english = found.english;
    r.pieces.back().form = found.form;
}

static void moveTo(std::vector<Piece>& pieces, size_t from, size_t to)
{
    Piece piece = pieces[from];
    pieces.erase(pieces.begin() + (long)from);
    pieces.insert(pieces.begin() + (long)(to > from ? to - 1 : to), piece);
}

static int isQuestionWord(const std::string& english)
{
    for (const char* word : { "how", "where", "what", "who", "why", "when", "which" })
        if (english == word)
            return 1;
    return 0;
}

// English word order within the clause [begin, end).
static void orderClause(Rendering& r, size_t begin, size_t& end)
{
    std::vector<Piece>& pieces = r.pieces;
    size_t finite = begin;
    while (finite < end && pieces[finite].role != PIECE_FINITE)
        ++finite;
    if (finite == end)
        return;
    // A prefix at the end joins its verb: "fährt ... ab" is "abfahren".
    Piece& verb = pieces[finite];
    std::vector<Candidate> candidates;
    if (pieces[end - 1].role == PIECE_PARTICLE && !verb.german.empty())
        lemmaCandidates(verb.german, 0, candidates);
    for (const Candidate& candidate : candidates) {
        std::vector<Sense> senses;
        if (candidate.wordClass == CLASS_VERB && knowsWord(r.pairRow, pieces[end - 1].text + candidate.lemma))
            lookUpWord(r.pairRow, pieces[end - 1].text + candidate.lemma, senses);
        size_t index = 0;
        const Sense* sense = senseOfClass(senses, CLASS_VERB, index);
        if (sense && sense->wordClass == CLASS_VERB) {
            verb.text = englishForm(plainTranslation(sense->translations[index]), candidate.form, verb.person, 1);
            pieces.erase(pieces.begin() + (long)(end - 1));
            --end;
            break;
        }
    }
    size_t after = finite + 1;
    if (pieces[begin].role == PIECE_SUBORDINATOR) {
        // "weil es regnet": the verb after the subject.
        if (finite == end - 1 && begin + 1 < finite && pieces[begin + 1].role == PIECE_SUBJECT)
            moveTo(pieces, finite, begin + 2);
        return;
    }
    if (after < end && pieces[after].role == PIECE_SUBJECT) {
        // "Heute gehe ich" → "Today I go"; a question keeps its order.
        if (finite > begin && !isQuestionWord(pieces[begin].text)) {
            moveTo(pieces, after, finite);
            ++finite;
        }
        after = finite + 1;
        if (after < end && pieces[after].role == PIECE_SUBJECT)
            ++after;
    }
    for (size_t i = after; i < end; ++i) {
        if (pieces[i].role != PIECE_NEGATION)
            continue;
        // English negates a main verb with "do": "versteht nicht" → "does not understand".
        Piece& main = pieces[finite];
        if (!main.english.empty() && pieces[i].text == "not" && (main.form == FORM_PRESENT || main.form == FORM_PAST)) {
            main.text = std::string(main.form == FORM_PAST ? "did" : main.person == 2 ? "does" : "do") + " not "
                + main.english;
            pieces.erase(pieces.begin() + (long)i);
            --end;
            break;
        }
        moveTo(pieces, i, after++);
    }
    for (size_t i = after; i < end; ++i)
        if (pieces[i].role == PIECE_NONFINITE)
            moveTo(pieces, i, after++);
}

void renderGermanAsEnglish(int pairRow, const std::string& text, std::string& out)
{
    std::vector<TextToken> tokens;
    splitWords(text, tokens);
    Rendering r;
    r.pairRow = pairRow;
    int sentenceStart = 1;
    for (size_t i = 0; i < tokens.size(); ++i) {
        if (tokens[i].isWord) {
            renderWord(r, tokens, i, sentenceStart);
            sentenceStart = 0;
            continue;
        }
        const std::string& between = tokens[i].text;
        size_t mark = between.find_first_not_of(" \t");
        if (mark == std::string::npos)
            continue;
        // Punctuation ends a clause; the blanks after it go with the next word.
        size_t blanks = between.find_last_not_of(" \t\n") + 1;
        addPiece(r, between.substr(0, blanks), "", PIECE_PUNCTUATION);
        r.finiteSeen = 0;
        if (between.find_first_of(".!?\n") != std::string::npos)
            sentenceStart = 1;
        if (blanks < between.size() && i + 1 < tokens.size())
            tokens[i].text = between.substr(blanks);
        else
            tokens[i].text.clear();
    }
    for (size_t begin = 0; begin < r.pieces.size();) {
        size_t end = begin;
        while (end < r.pieces.size() && r.pieces[end].role != PIECE_BREAK && r.pieces[end].role != PIECE_PUNCTUATION
               && (end == begin || r.pieces[end].role != PIECE_SUBORDINATOR))
            ++end;
        orderClause(r, begin, end);
        begin = end + (end < r.pieces.size() && r.pieces[end].role != PIECE_SUBORDINATOR);
    }
    sentenceStart = 1;
    for (size_t i = 0; i < r.pieces.size(); ++i) {
        Piece& piece = r.pieces[i];
        if (piece.text.empty())
            continue;
        if (piece.role == PIECE_PUNCTUATION) {
            out += piece.text;
            sentenceStart |= piece.text.find_first_of(".!?\n") != std::string::npos;
            continue;
        }
        out += i > 0 && piece.before.empty() ? " " : piece.before;
        if (sentenceStart && piece.text[0] >= 'a' && piece.text[0] <= 'z')
            piece.text[0] = (char)(piece.text[0] - 32);
        sentenceStart = 0;
        out += piece.text;
    }
}
