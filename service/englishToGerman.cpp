#include "englishToGerman.h"
#include <algorithm>
#include <cstring>
#include <map>
#include "closedClassWords.h"
#include "dictionaryTranslation.h"
#include "germanGrammar.h"

// Types of this file only: the other direction has its own.
namespace {

// What a German word is to the word order.
enum PieceRole {
    PIECE_OTHER,
    PIECE_BREAK,        // punctuation or a conjunction between clauses
    PIECE_SUBORDINATOR, // begins a clause with the verb at its end
    PIECE_FINITE,
    PIECE_NONFINITE,    // an infinitive or participle, at the clause's end
    PIECE_SUBJECT,      // a personal pronoun as subject
    PIECE_DETERMINER,
    PIECE_MODIFIER,     // an adjective or number inside a noun phrase
    PIECE_NOUN,
    PIECE_ADVERB,
    PIECE_PREPOSITION
};

struct Piece {
    std::string text;
    std::string before;
    PieceRole role;
    int keepCase;  // nouns, names and "Sie" keep their capital
};

struct NounInfo {
    std::string german;
    Gender gender;  // GENDER_PLURAL for a plural
};

struct KnownWord {
    std::string german;
    Gender gender;
    int sameClass;
};

struct Rendering {
    int pairRow;
    const std::vector<EnglishWord>& words;
    std::vector<Piece> pieces = {};
    std::vector<int> consumed = {};  // words rendered with an earlier one
    int subjectPerson = 2;
    int finiteSeen = 0, finiteIsSein = 0, subjectSeen = 0;
    int pendingCase = -1;            // the case the last preposition governs
    ArticleKind phraseKind = ARTICLE_NONE;
    Gender phraseGender = GENDER_NEUTER;
    GermanCase phraseCase = CASE_NOMINATIVE;
    int dropNextTo = 0;              // "would like to", "want to": no "zu"
    int afterModal = 0;              // the next infinitive goes to the end
    std::string compound = {};       // the first nouns of a compound
    std::map<std::string, KnownWord> known = {};  // by lemma and class
};

}  // namespace

static const char* const Weekdays[] = { "monday", "tuesday", "wednesday", "thursday", "friday", "saturday", "sunday" };

static std::string lowered(const std::string& word)
{
    std::string out = word;
    for (char& c : out)
        if (c >= 'A' && c <= 'Z')
            c = (char)(c + 32);
    return out;
}

static int hasTag(const EnglishWord& word, const char* tag)
{
    return std::find(word.tags.begin(), word.tags.end(), tag) != word.tags.end();
}

static int isVerb(const EnglishWord& word)
{
    return word.wordClass.compare(0, 2, "vb") == 0;
}

// The word's translation in the sense of its class (or of another when it
// has none: then sameClass is 0), and the gender the dictionary gives it;
// "" when the dictionary does not know it.
static std::string translated(Rendering& r, const std::string& lemma, WordClass wordClass, Gender* gender,
    int* sameClass = 0)
{
    // A text names the same words again and again ("the house... the house").
    std::string key = lemma + '\t' + (char)('0' + wordClass);
    auto known = r.known.find(key);
    if (known == r.known.end()) {
        std::vector<Sense> senses;
        lookUpWord(r.pairRow, lemma, senses);
        size_t index = 0;
        const Sense* sense = senseOfClass(senses, wordClass, index);
        KnownWord found = { "", GENDER_NONE, 0 };
        if (sense)
            found = KnownWord { plainTranslation(sense->translations[index]), sense->genders[index],
                sense->wordClass == wordClass };
        known = r.known.emplace(key, found).first;
    }
    if (gender)
        *gender = known->second.gender;
    if (sameClass)
        *sameClass = known->second.sameClass;
    return known->second.german;
}

static int personOf(const EnglishWord& word)
{
    int plural = hasTag(word, "pl");
    if (hasTag(word, "p1"))
        return plural ? 3 : 0;
    if (hasTag(word, "p2"))
        return 5;
    return plural ? 5 : 2;
}

static void add(Rendering& r, size_t i, const std::string& text, PieceRole role, int keepCase = 0)
{
    if (text.empty())
        return;
    r.pieces.push_back(Piece { text, r.words[i].before, role, keepCase });
}

// The subject pronoun after a word, as in a question ("can you").
static int personAfter(Rendering& r, size_t i)
{
    for (size_t j = i + 1; j < r.words.size() && j < i + 3; ++j)
        if (r.words[j].lemma == "prpers" || r.words[j].lemma == "Prpers")
            return hasTag(r.words[j], "subj") ? personOf(r.words[j]) : r.subjectPerson;
    return r.subjectPerson;
}

// The verb after an auxiliary ("is going", "do you know"), within a few
// words, with the tense tag asked for; -1 when there is none.
static long verbAfter(Rendering& r, size_t i, const char* tense)
{
    for (size_t j = i + 1; j < r.words.size() && j < i + 4; ++j) {
        const EnglishWord& word = r.words[j];
        if (isVerb(word) && word.wordClass != "vaux")
            return hasTag(word, tense) ? (long)j : -1;
        if (word.wordClass == "sent" || word.wordClass == "cm")
            return -1;
    }
    return -1;
}

// The head noun of the phrase that starts at word i: the last of the nouns
// that follow the determiner, adjectives and numbers.
static NounInfo headNoun(Rendering& r, size_t i)
{
    NounInfo info = { "", GENDER_NEUTER };
    long head = -1;
    for (size_t j = i + 1; j < r.words.size(); ++j) {
        const std::string& c = r.words[j].wordClass;
        if (c == "n" || c == "np")
            head = (long)j;
        // "the children play": a plural is the head; what follows is the verb.
        if (c == "n" && hasTag(r.words[j], "pl"))
            break;
        else if (head >= 0 || (c != "adj" && c != "num" && c != "preadv" && c != "adv" && c != "det"))
            break;
    }
    if (head < 0)
        return info;
    const EnglishWord& noun = r.words[(size_t)head];
    Gender gender = GENDER_NONE;
    if (noun.wordClass == "n")
        info.german = translated(r, noun.lemma, CLASS_NOUN, &gender);
    info.gender = hasTag(noun, "pl") ? GENDER_PLURAL : gender == GENDER_NONE ? GENDER_NEUTER : gender;
    return info;
}

static GermanCase caseHere(Rendering& r)
{
    if (r.pendingCase >= 0)
        return (GermanCase)r.pendingCase;
    return r.finiteSeen && !r.finiteIsSein ? CASE_ACCUSATIVE : CASE_NOMINATIVE;
}

// Merges "in dem" into "im" and the like.
static int contract(Rendering& r, const std::string& article)
{
    static const char* const Contractions[][3] = {
        { "in", "dem", "im" }, { "in", "das", "ins" }, { "an", "dem", "am" }, { "an", "das", "ans" },
        { "zu", "dem", "zum" }, { "zu", "der", "zur" }, { "von", "dem", "vom" }, { "bei", "dem", "beim" },
    };
    if (r.pieces.empty() || r.pieces.back().role != PIECE_PREPOSITION)
        return 0;
    for (const auto& row : Contractions) {
        if (r.pieces.back().text == row[0] && article == row[1]) {
            r.pieces.back().text = row[2];
            return 1;
        }
    }
    return 0;
}

static void renderDeterminer(Rendering& r, size_t i, const std::string& lemma)
{
    NounInfo noun = headNoun(r, i);
    r.phraseGender = noun.gender;
    r.phraseCase = caseHere(r);
    if (lemma == "the") {
        r.phraseKind = ARTICLE_DEFINITE;
        std::string article = definiteArticle(noun.gender, r.phraseCase);
        if (!contract(r, article))
            add(r, i, article, PIECE_DETERMINER);
        return;
    }
    const EnglishSmallWord* word = findEnglishSmallWord(lemma, r.words[i].wordClass);
    std::string german = word ? word->german : lemma;
    r.phraseKind = ARTICLE_NONE;
    if (!german.empty() && german.back() == '-') {
        german.pop_back();
        german += einEnding(noun.gender, r.phraseCase);
        r.phraseKind = noun.gender == GENDER_PLURAL ? ARTICLE_DEFINITE : ARTICLE_INDEFINITE;
    } else if (!german.empty() && german.back() == '*') {
        german.pop_back();
        german += derEnding(noun.gender, r.phraseCase);
        r.phraseKind = ARTICLE_DEFINITE;
    }
    add(r, i, german, PIECE_DETERMINER, german[0] == 'I');
}

static void renderPronoun(Rendering& r, size_t i)
{
    EnglishWord word = r.words[i];
    if (word.lemma == "I")
        word.tags = { "prn", "subj", "p1", "mf", "sg" };
    // Rows: nominative, accusative, dative; columns: the person (0 to 5),
    // the third person singular by gender after them.
    static const char* const Forms[3][9] = {
        { "ich", "du", "er", "wir", "ihr", "sie", "er", "sie", "es" },
        { "mich", "dich", "ihn", "uns", "euch", "sie", "ihn", "sie", "es" },
        { "mir", "dir", "ihm", "uns", "euch", "ihnen", "ihm", "ihr", "ihm" },
    };
    int subject = hasTag(word, "subj");
    int person = personOf(word);
    GermanCase grammarCase = subject ? CASE_NOMINATIVE : r.pendingCase == CASE_DATIVE ? CASE_DATIVE : CASE_ACCUSATIVE;
    int column = person;
    if (person == 2)
        column = hasTag(word, "f") ? 7 : hasTag(word, "nt") ? 8 : 6;
    std::string form = Forms[grammarCase][column];
    // "you" is the polite "Sie".
    if (hasTag(word, "p2"))
        form = grammarCase == CASE_DATIVE ? "Ihnen" : "Sie";
    if (subject)
        r.subjectPerson = person, r.subjectSeen = 1;
    r.pendingCase = -1;
    add(r, i, form, subject ? PIECE_SUBJECT : PIECE_OTHER, hasTag(word, "p2"));
}

static std::string finiteForm(const std::string& infinitive, int person, int past)
{
    if (infinitive[0] == '=') {
        // A fixed past stem: "würde", "könnte".
        static const char* const Endings[PERSON_COUNT] = { "", "st", "", "n", "t", "n" };
        return infinitive.substr(1) + Endings[person];
    }
    return conjugated(infinitive, person, past);
}

static void addFinite(Rendering& r, size_t i, const std::string& text)
{
    add(r, i, text, PIECE_FINITE);
    r.finiteSeen = 1;
}

// The German infinitive of an English verb.
static std::string germanVerb(Rendering& r, const EnglishWord& word)
{
    std::string lemma = lowered(word.lemma);
    if (lemma == "be")
        return "sein";
    if (lemma == "have")
        return "haben";
    if (lemma == "like")
        return "mögen";
    if (lemma == "go")
        return "gehen";
    std::string german = translated(r, lemma, CLASS_VERB, 0);
    // A phrasal verb the dictionary lacks ("look for") as its verb.
    if (german.empty() && lemma.find(' ') != std::string::npos)
        german = translated(r, lemma.substr(0, lemma.find(' ')), CLASS_VERB, 0);
    return german.empty() ? lemma : german;
}

// A main verb in the tense its tags give, for a person.
static void renderVerb(Rendering& r, size_t i, size_t tenseFrom, int person)
{
    const EnglishWord& word = r.words[i];
    const EnglishWord& tense = r.words[tenseFrom];
    std::string infinitive = germanVerb(r, word);
    if (r.afterModal && !hasTag(tense, "pp")) {
        // The tagger reads "can you help" as a present.
        add(r, i, infinitive, PIECE_NONFINITE);
        r.afterModal = 0;
    } else if (hasTag(tense, "pp")) {
        add(r, i, pastParticiple(infinitive), r.finiteSeen ? PIECE_NONFINITE : PIECE_OTHER);
    } else if (hasTag(tense, "past")) {
        addFinite(r, i, conjugated(infinitive, person, 1));
    } else if (hasTag(tense, "pres") || hasTag(tense, "pri")) {
        addFinite(r, i, conjugated(infinitive, person, 0));
    } else if (!r.finiteSeen && r.subjectSeen) {
        // The tagger reads some presents as infinitives ("I usually get up").
        addFinite(r, i, conjugated(infinitive, person, 0));
    } else if (!r.finiteSeen && (r.pieces.empty() || r.pieces.back().role == PIECE_BREAK
                                    || r.pieces.back().text == "bitte")) {
        // An order: "Close the window" → "Schließen Sie das Fenster".
        addFinite(r, i, conjugated(infinitive, 5, 0));
        add(r, i, "Sie", PIECE_SUBJECT, 1);
        r.pieces.back().before = " ";
    } else {
        add(r, i, infinitive, PIECE_OTHER);
    }
    if (lowered(word.lemma) == "like" || lowered(word.lemma) == "want" || lowered(word.lemma) == "need")
        r.dropNextTo = 1;
}

static void renderAuxiliary(Rendering& r, size_t i)
{
    const EnglishWord& word = r.words[i];
    std::string lemma = lowered(word.lemma);
    int person = hasTag(word, "p3") && hasTag(word, "sg") ? 2 : personAfter(r, i);
    int past = hasTag(word, "past");
    const std::string& c = word.wordClass;
    if (c == "vaux" || c == "vbmod") {
        const EnglishSmallWord* modal = findEnglishSmallWord(lemma, "vaux");
        long like = verbAfter(r, i, "inf");
        if (lemma == "would" && like >= 0 && lowered(r.words[(size_t)like].lemma) == "like") {
            addFinite(r, i, finiteForm("=möchte", person, 0));
            r.consumed[(size_t)like] = 1;
            r.dropNextTo = 1;
        } else {
            addFinite(r, i, finiteForm(modal ? modal->german : "müssen", person, past));
            r.dropNextTo = c == "vbmod";
        }
        r.afterModal = 1;
        return;
    }
    if (c == "vbdo") {
        long verb = verbAfter(r, i, "inf");
        if (verb < 0)
            verb = verbAfter(r, i, "pres");
        if (verb >= 0) {
            r.consumed[(size_t)verb] = 1;
            std::string infinitive = germanVerb(r, r.words[(size_t)verb]);
            addFinite(r, i, conjugated(infinitive, person, past));
        } else {
            addFinite(r, i, conjugated("machen", person, past));
        }
        return;
    }
    long gerund = verbAfter(r, i, "ger");
    long participle = verbAfter(r, i, "pp");
    if (c == "vbhaver" && participle >= 0 && r.words[(size_t)participle].wordClass == "vbser") {
        // "have been learning": the present of the verb.
        long verb = verbAfter(r, (size_t)participle, "ger");
        if (verb >= 0) {
            r.consumed[(size_t)participle] = r.consumed[(size_t)verb] = 1;
            renderVerb(r, (size_t)verb, i, person);
            return;
        }
    }
    if (c == "vbser" && gerund >= 0 && !hasTag(word, "inf")) {
        // "are going": the simple tense of the verb.
        r.consumed[(size_t)gerund] = 1;
        renderVerb(r, (size_t)gerund, i, person);
        return;
    }
    if (hasTag(word, "inf") || hasTag(word, "pp")) {
        add(r, i, hasTag(word, "pp") ? pastParticiple(c == "vbser" ? "sein" : "haben") : c == "vbser" ? "sein" : "haben",
            PIECE_NONFINITE);
        return;
    }
    std::string infinitive = c == "vbser" ? "sein" : "haben";
    if (c == "vbhaver" && participle >= 0 && perfectWithSein(germanVerb(r, r.words[(size_t)participle])))
        infinitive = "sein";
    if (c == "vbser" && !r.pieces.empty() && r.pieces.back().text == "dort" && r.pieces.back().role == PIECE_ADVERB) {
        // "there is" → "es gibt", with the object in the accusative.
        r.pieces.back().text = "es";
        r.pieces.back().role = PIECE_SUBJECT;
        addFinite(r, i, conjugated("geben", 2, past));
        return;
    }
    addFinite(r, i, conjugated(infinitive, person, past));
    r.finiteIsSein = c == "vbser";
}

static void renderPreposition(Rendering& r, size_t i, const std::string& lemma)
{
    const EnglishSmallWord* word = findEnglishSmallWord(lemma, "pr");
    const EnglishWord* next = i + 1 < r.words.size() ? &r.words[i + 1] : 0;
    if (lemma == "to" && next && next->wordClass == "vblex" && hasTag(*next, "inf")) {
        if (r.dropNextTo)
            r.afterModal = 1;
        else
            add(r, i, "zu", PIECE_OTHER);
        r.dropNextTo = 0;
        return;
    }
    std::string german = word ? word->german : lemma;
    r.pendingCase = word ? word->governs : CASE_DATIVE;
    if (next && lemma == "to" && (next->wordClass == "np" || lowered(next->lemma) == "home"))
        german = "nach";
    if (next && lemma == "at" && next->wordClass == "num")
        german = "um";
    if (next && (lemma == "on" || lemma == "at")
        && std::any_of(std::begin(Weekdays), std::end(Weekdays), [next](const char* day) { return lowered(next->lemma) == day; })) {
        add(r, i, "am", PIECE_PREPOSITION);
        r.consumed[i] = 1;
        return;
    }
    add(r, i, german, PIECE_PREPOSITION);
}

// An adjective inside a noun phrase takes the ending its article asks for.
static void renderAdjective(Rendering& r, size_t i, const std::string& lemma)
{
    std::string german = translated(r, lemma, CLASS_ADJECTIVE, 0);
    if (german.empty())
        german = lemma;
    const EnglishWord& word = r.words[i];
    int attributive = 0;
    for (size_t j = i + 1; j < r.words.size(); ++j) {
        const std::string& c = r.words[j].wordClass;
        if (c == "n") {
            attributive = 1;
            break;
        }
        if (c != "adj" && c != "preadv" && c != "num")
            break;
    }
    if (hasTag(word, "comp"))
        german += "er";
    if (hasTag(word, "sup"))
        german = attributive ? german + "st" : "am " + german + "sten";
    if (attributive) {
        if (r.phraseKind == ARTICLE_NONE)
            r.phraseCase = caseHere(r), r.phraseGender = headNoun(r, i).gender;
        german += adjectiveEnding(r.phraseKind, r.phraseGender, r.phraseCase);
    }
    add(r, i, german, attributive ? PIECE_MODIFIER : PIECE_OTHER);
}

static void renderNoun(Rendering& r, size_t i, const std::string& lemma)
{
    const EnglishWord& word = r.words[i];
    Gender gender = GENDER_NONE;
    std::string german = translated(r, lemma, CLASS_NOUN, &gender);
    if (german.empty())
        german = word.lemma;
    if (!r.compound.empty()) {
        // German writes a compound as one word: "Telefonakku".
        std::string tail = german;
        if (tail[0] >= 'A' && tail[0] <= 'Z')
            tail[0] = (char)(tail[0] + 32);
        else if ((unsigned char)tail[0] == 0xC3 && tail.size() > 1)
            tail[1] = (char)(tail[1] + 0x20);
        german = r.compound + tail;
        r.compound.clear();
    }
    // A plural after it is rather a verb the tagger misread ("brother works").
    if (i + 1 < r.words.size() && r.words[i + 1].wordClass == "n" && r.words[i + 1].before == " "
        && !hasTag(word, "pl") && !hasTag(r.words[i + 1], "pl")) {
        r.compound = german;
        return;
    }
    if (!r.finiteSeen && r.pendingCase < 0)
        r.subjectPerson = hasTag(word, "pl") ? 5 : 2, r.subjectSeen = 1;
    if (hasTag(word, "pl")) {
        GermanCase grammarCase = r.phraseKind != ARTICLE_NONE ? r.phraseCase : caseHere(r);
        german = nounPlural(german, gender, grammarCase);
    }
    add(r, i, german, PIECE_NOUN, 1);
    r.pendingCase = -1;
    r.phraseKind = ARTICLE_NONE;
}

static void renderWord(Rendering& r, size_t i)
{
    const EnglishWord& word = r.words[i];
    const std::string& c = word.wordClass;
    std::string lemma = c == "np" ? word.lemma : lowered(word.lemma);
    if (word.unknown) {
        std::string german = translated(r, word.lemma, CLASS_OTHER, 0);
        add(r, i, german.empty() || german.find(' ') != std::string::npos ? word.lemma : german, PIECE_OTHER, 1);
        return;
    }
    if (c == "sent" || c == "cm" || c == "cnjcoo" || c == "cnjadv" || c == "lpar" || c == "rpar" || c == "lquot"
        || c == "rquot" || c == "guio") {
        const EnglishSmallWord* small = findEnglishSmallWord(lemma, c);
        add(r, i, small ? small->german : word.lemma, c == "cnjcoo" || c == "cnjadv" || c == "sent" || c == "cm"
                ? PIECE_BREAK : PIECE_OTHER, 1);
        r.finiteSeen = r.finiteIsSein = r.afterModal = r.dropNextTo = r.subjectSeen = 0;
        r.pendingCase = -1;
        return;
    }
    if (c == "cnjsub") {
        const EnglishSmallWord* small = findEnglishSmallWord(lemma, c);
        add(r, i, small ? small->german : lemma, PIECE_SUBORDINATOR);
        r.finiteSeen = r.finiteIsSein = r.subjectSeen = 0;
        return;
    }
    if ((lemma == "prpers" && c == "prn") || (word.lemma == "I" && c == "num")) {
        renderPronoun(r, i);
        return;
    }
    // The tagger takes the verb after a subject for a noun: "I drink",
    // "children play", "my brother works" (as the plural of "work").
    const EnglishWord* previous = i > 0 ? &r.words[i - 1] : 0;
    const EnglishWord* next = i + 1 < r.words.size() ? &r.words[i + 1] : 0;
    int plural = hasTag(word, "pl"), verbSense = 0;
    if (c == "n" && !r.finiteSeen && previous && r.pendingCase < 0 && !(next && isVerb(*next))
        && (previous->wordClass == "prn" || previous->lemma == "I" || previous->wordClass == "n")
        && plural == (previous->wordClass == "n" && !hasTag(*previous, "pl"))) {
        std::string german = translated(r, lemma, CLASS_VERB, 0, &verbSense);
        if (verbSense) {
            addFinite(r, i, conjugated(german, plural ? 2 : r.subjectPerson, 0));
            return;
        }
    }
    if (c == "det" && !hasTag(word, "ord")) {
        renderDeterminer(r, i, lemma);
        return;
    }
    const EnglishSmallWord* small = findEnglishSmallWord(lemma, c);
    if (c == "pr" || (small && small->role == ROLE_PREPOSITION)) {
        renderPreposition(r, i, lemma);
        return;
    }
    if (c == "n") {
        renderNoun(r, i, lemma);
        return;
    }
    if (c == "np") {
        add(r, i, word.lemma, PIECE_NOUN, 1);
        r.pendingCase = -1;
        return;
    }
    if (small && c != "vaux") {
        std::string german = small->german;
        if (small->role == ROLE_NUMBER && hasTag(word, "ord"))
            german += adjectiveEnding(ARTICLE_DEFINITE, headNoun(r, i).gender, caseHere(r));
        add(r, i, german, small->role == ROLE_NUMBER ? PIECE_MODIFIER : small->role == ROLE_PRONOUN ? PIECE_SUBJECT
                : PIECE_ADVERB, german == "Uhr");
        return;
    }
    if (c == "num") {
        add(r, i, word.lemma, PIECE_MODIFIER);
        return;
    }
    if (c == "vblex") {
        renderVerb(r, i, i, hasTag(word, "p3") && hasTag(word, "sg") ? 2 : r.subjectPerson);
        return;
    }
    if (isVerb(word) || c == "vaux") {
        renderAuxiliary(r, i);
        return;
    }
    if (c == "adj") {
        renderAdjective(r, i, lemma);
        return;
    }
    WordClass wanted = c == "adv" || c == "preadv" ? CLASS_ADVERB : CLASS_OTHER;
    std::string german = translated(r, lemma, wanted, 0);
    if (german.empty() && wanted == CLASS_ADVERB)
        german = translated(r, lemma, CLASS_ADJECTIVE, 0);
    add(r, i, german.empty() ? word.lemma : german, wanted == CLASS_ADVERB ? PIECE_ADVERB : PIECE_OTHER, 1);
}

// The start of the subject that ends just before piece end, or end when
// there is none: a pronoun, or a noun phrase not governed by a preposition.
static size_t subjectStart(const std::vector<Piece>& pieces, size_t begin, size_t end)
{
    if (end > begin && pieces[end - 1].role == PIECE_SUBJECT)
        return end - 1;
    size_t at = end;
    while (at > begin && pieces[at - 1].role == PIECE_NOUN)
        --at;
    if (at == end)
        return end;
    while (at > begin && pieces[at - 1].role == PIECE_MODIFIER)
        --at;
    if (at > begin && pieces[at - 1].role == PIECE_DETERMINER)
        --at;
    if (at > begin && pieces[at - 1].role == PIECE_PREPOSITION)
        return end;
    return at;
}

static void moveTo(std::vector<Piece>& pieces, size_t from, size_t to)
{
    Piece piece = pieces[from];
    pieces.erase(pieces.begin() + (long)from);
    pieces.insert(pieces.begin() + (long)(to > from ? to - 1 : to), piece);
}

// German word order within one clause, pieces [begin, end).
static void orderClause(std::vector<Piece>& pieces, size_t begin, size_t end)
{
    size_t finite = begin;
    while (finite < end && pieces[finite].role != PIECE_FINITE)
        ++finite;
    if (finite == end)
        return;
    // Infinitives and participles to the end, in their order.
    size_t last = end;
    for (size_t i = end; i-- > finite + 1;) {
        if (pieces[i].role == PIECE_NONFINITE) {
            moveTo(pieces, i, last);
            --last;
        }
    }
    if (pieces[begin].role == PIECE_SUBORDINATOR) {
        moveTo(pieces, finite, end);
        return;
    }
    // Adverbs between the subject and the verb follow the verb.
    size_t adverbs = finite;
    while (adverbs > begin && pieces[adverbs - 1].role == PIECE_ADVERB)
        --adverbs;
    size_t subject = subjectStart(pieces, begin, adverbs);
    if (subject == adverbs)
        return;
    if (subject > begin)
        moveTo(pieces, finite, subject);
    else
        moveTo(pieces, finite, adverbs);
}

static void capitalise(std::string& word)
{
    if (word[0] >= 'a' && word[0] <= 'z')
        word[0] = (char)(word[0] - 32);
    else if ((unsigned char)word[0] == 0xC3 && word.size() > 1 && (unsigned char)word[1] >= 0xA0)
        word[1] = (char)(word[1] - 0x20);
}

void renderEnglishAsGerman(int pairRow, const std::vector<EnglishWord>& words, std::string& out)
{
    Rendering r { pairRow, words };
    r.consumed.resize(words.size());
    for (size_t i = 0; i < words.size(); ++i)
        if (!r.consumed[i])
            renderWord(r, i);
    std::vector<Piece>& pieces = r.pieces;
    for (size_t begin = 0; begin < pieces.size();) {
        size_t end = begin;
        while (end < pieces.size() && pieces[end].role != PIECE_BREAK
               && (end == begin || pieces[end].role != PIECE_SUBORDINATOR))
            ++end;
        orderClause(pieces, begin, end);
        begin = end + (end < pieces.size() && pieces[end].role == PIECE_BREAK);
    }
    int sentenceStart = 1;
    for (size_t i = 0; i < pieces.size(); ++i) {
        Piece& piece = pieces[i];
        int punctuation = piece.text.find_first_not_of(".,;:!?)\"'") == std::string::npos;
        out += i > 0 && piece.before.empty() && !punctuation ? " " : piece.before;
        if (sentenceStart && !punctuation)
            capitalise(piece.text);
        else if (!piece.keepCase && piece.text[0] >= 'A' && piece.text[0] <= 'Z')
            piece.text[0] = (char)(piece.text[0] + 32);
        out += piece.text;
        if (!punctuation)
            sentenceStart = 0;
        if (piece.text.find_first_of(".!?") != std::string::npos && punctuation)
            sentenceStart = 1;
    }
}
