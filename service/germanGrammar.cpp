#include "germanGrammar.h"
#include <cstring>
#include <map>

struct IrregularVerb {
    const char* infinitive;
    const char* present;     // all six forms, when the stem rule does not make them
    const char* changedStem; // the stem of du and er/sie/es ("fähr"), or ""
    const char* pastStem;    // "fuhr"; one ending in e takes weak endings ("brachte")
    const char* participle;
    int withSein;
};

static const IrregularVerb IrregularVerbs[] = {
    { "sein", "bin bist ist sind seid sind", "", "war", "gewesen", 1 },
    { "haben", "habe hast hat haben habt haben", "", "hatte", "gehabt", 0 },
    { "werden", "werde wirst wird werden werdet werden", "", "wurde", "geworden", 1 },
    { "können", "kann kannst kann können könnt können", "", "konnte", "gekonnt", 0 },
    { "müssen", "muss musst muss müssen müsst müssen", "", "musste", "gemusst", 0 },
    { "wollen", "will willst will wollen wollt wollen", "", "wollte", "gewollt", 0 },
    { "sollen", "soll sollst soll sollen sollt sollen", "", "sollte", "gesollt", 0 },
    { "dürfen", "darf darfst darf dürfen dürft dürfen", "", "durfte", "gedurft", 0 },
    { "mögen", "mag magst mag mögen mögt mögen", "", "mochte", "gemocht", 0 },
    { "wissen", "weiß weißt weiß wissen wisst wissen", "", "wusste", "gewusst", 0 },
    { "tun", "tue tust tut tun tut tun", "", "tat", "getan", 0 },
    { "gehen", "", "", "ging", "gegangen", 1 },
    { "kommen", "", "", "kam", "gekommen", 1 },
    { "bekommen", "", "", "bekam", "bekommen", 0 },
    { "fahren", "", "fähr", "fuhr", "gefahren", 1 },
    { "laufen", "", "läuf", "lief", "gelaufen", 1 },
    { "fliegen", "", "", "flog", "geflogen", 1 },
    { "bleiben", "", "", "blieb", "geblieben", 1 },
    { "fallen", "", "fäll", "fiel", "gefallen", 1 },
    { "steigen", "", "", "stieg", "gestiegen", 1 },
    { "sterben", "", "stirb", "starb", "gestorben", 1 },
    { "schwimmen", "", "", "schwamm", "geschwommen", 1 },
    { "sehen", "", "sieh", "sah", "gesehen", 0 },
    { "geben", "", "gib", "gab", "gegeben", 0 },
    { "nehmen", "nehme nimmst nimmt nehmen nehmt nehmen", "", "nahm", "genommen", 0 },
    { "essen", "", "iss", "aß", "gegessen", 0 },
    { "vergessen", "", "vergiss", "vergaß", "vergessen", 0 },
    { "lesen", "", "lies", "las", "gelesen", 0 },
    { "sprechen", "", "sprich", "sprach", "gesprochen", 0 },
    { "helfen", "", "hilf", "half", "geholfen", 0 },
    { "treffen", "", "triff", "traf", "getroffen", 0 },
    { "werfen", "", "wirf", "warf", "geworfen", 0 },
    { "schlafen", "", "schläf", "schlief", "geschlafen", 0 },
    { "tragen", "", "träg", "trug", "getragen", 0 },
    { "waschen", "", "wäsch", "wusch", "gewaschen", 0 },
    { "halten", "", "hält", "hielt", "gehalten", 0 },
    { "lassen", "", "läss", "ließ", "gelassen", 0 },
    { "trinken", "", "", "trank", "getrunken", 0 },
    { "singen", "", "", "sang", "gesungen", 0 },
    { "finden", "", "", "fand", "gefunden", 0 },
    { "beginnen", "", "", "begann", "begonnen", 0 },
    { "gewinnen", "", "", "gewann", "gewonnen", 0 },
    { "schreiben", "", "", "schrieb", "geschrieben", 0 },
    { "scheinen", "", "", "schien", "geschienen", 0 },
    { "heißen", "", "", "hieß", "geheißen", 0 },
    { "rufen", "", "", "rief", "gerufen", 0 },
    { "schließen", "", "", "schloss", "geschlossen", 0 },
    { "verlieren", "", "", "verlor", "verloren", 0 },
    { "ziehen", "", "", "zog", "gezogen", 0 },
    { "stehen", "", "", "stand", "gestanden", 0 },
    { "verstehen", "", "", "verstand", "verstanden", 0 },
    { "liegen", "", "", "lag", "gelegen", 0 },
    { "sitzen", "", "", "saß", "gesessen", 0 },
    { "bringen", "", "", "brachte", "gebracht", 0 },
    { "denken", "", "", "dachte", "gedacht", 0 },
    { "kennen", "", "", "kannte", "gekannt", 0 },
    { "rennen", "", "", "rannte", "gerannt", 1 },
    { "verbringen", "", "", "verbrachte", "verbracht", 0 },
};

static const char* const IrregularPlurals[][2] = {
    { "Haus", "Häuser" }, { "Kind", "Kinder" }, { "Mann", "Männer" }, { "Buch", "Bücher" },
    { "Nacht", "Nächte" }, { "Stadt", "Städte" }, { "Zug", "Züge" }, { "Land", "Länder" },
    { "Glas", "Gläser" }, { "Bruder", "Brüder" }, { "Mutter", "Mütter" }, { "Vater", "Väter" },
    { "Tochter", "Töchter" }, { "Wort", "Wörter" }, { "Fuß", "Füße" }, { "Hand", "Hände" },
    { "Baum", "Bäume" }, { "Stuhl", "Stühle" }, { "Apfel", "Äpfel" }, { "Bus", "Busse" },
    { "Schlüssel", "Schlüssel" }, { "Freund", "Freunde" }, { "Sohn", "Söhne" }, { "Dorf", "Dörfer" },
    { "Museum", "Museen" }, { "Arzt", "Ärzte" }, { "Platz", "Plätze" }, { "Ei", "Eier" },
};

// Rows: nominative, accusative, dative; columns: masculine, feminine,
// neuter, plural.
static const char* const Definite[3][4] = {
    { "der", "die", "das", "die" }, { "den", "die", "das", "die" }, { "dem", "der", "dem", "den" } };
static const char* const EinEndings[3][4] = { { "", "e", "", "e" }, { "en", "e", "", "e" }, { "em", "er", "em", "en" } };
static const char* const DerEndings[3][4] = {
    { "er", "e", "es", "e" }, { "en", "e", "es", "e" }, { "em", "er", "em", "en" } };
static const char* const WeakEndings[3][4] = { { "e", "e", "e", "en" }, { "en", "e", "e", "en" }, { "en", "en", "en", "en" } };
static const char* const MixedEndings[3][4] = {
    { "er", "e", "es", "en" }, { "en", "e", "es", "en" }, { "en", "en", "en", "en" } };

// A noun of unknown gender declines as a neuter one, the commonest in the dictionary.
static int column(Gender gender)
{
    return gender == GENDER_MASCULINE ? 0 : gender == GENDER_FEMININE ? 1 : gender == GENDER_PLURAL ? 3 : 2;
}

const char* definiteArticle(Gender gender, GermanCase grammarCase)
{
    return Definite[grammarCase][column(gender)];
}

const char* einEnding(Gender gender, GermanCase grammarCase)
{
    return EinEndings[grammarCase][column(gender)];
}

const char* derEnding(Gender gender, GermanCase grammarCase)
{
    return DerEndings[grammarCase][column(gender)];
}

const char* adjectiveEnding(ArticleKind kind, Gender gender, GermanCase grammarCase)
{
    if (kind == ARTICLE_DEFINITE)
        return WeakEndings[grammarCase][column(gender)];
    if (kind == ARTICLE_INDEFINITE)
        return MixedEndings[grammarCase][column(gender)];
    return DerEndings[grammarCase][column(gender)];
}

static int endsWith(const std::string& word, const char* ending)
{
    size_t size = strlen(ending);
    return word.size() >= size && word.compare(word.size() - size, size, ending) == 0;
}

std::string nounPlural(const std::string& noun, Gender gender, GermanCase grammarCase)
{
    // A phrase declines its last word.
    size_t space = noun.rfind(' ');
    if (space != std::string::npos)
        return noun.substr(0, space + 1) + nounPlural(noun.substr(space + 1), gender, grammarCase);
    std::string plural;
    for (const auto& row : IrregularPlurals)
        if (noun == row[0])
            plural = row[1];
    if (!plural.empty()) {
    } else if (endsWith(noun, "e")) {
        plural = noun + "n";
    } else if (gender == GENDER_MASCULINE && (endsWith(noun, "ist") || endsWith(noun, "ent") || endsWith(noun, "ant"))) {
        plural = noun + "en";  // "Touristen", "Studenten"
    } else if (gender == GENDER_FEMININE) {
        plural = noun + (endsWith(noun, "in") ? "nen" : endsWith(noun, "el") || endsWith(noun, "er") ? "n" : "en");
    } else if (endsWith(noun, "er") || endsWith(noun, "el") || endsWith(noun, "en") || endsWith(noun, "chen")) {
        plural = noun;
    } else if (endsWith(noun, "a") || endsWith(noun, "i") || endsWith(noun, "o") || endsWith(noun, "u")
        || endsWith(noun, "y")) {
        plural = noun + "s";
    } else {
        plural = noun + "e";
    }
    if (grammarCase == CASE_DATIVE && !endsWith(plural, "n") && !endsWith(plural, "s"))
        plural += "n";
    return plural;
}

std::string irregularSingular(const std::string& plural)
{
    for (const auto& row : IrregularPlurals)
        if (plural == row[1])
            return row[0];
    return "";
}

static const IrregularVerb* findIrregular(const std::string& infinitive)
{
    for (const IrregularVerb& verb : IrregularVerbs)
        if (infinitive == verb.infinitive)
            return &verb;
    for (const IrregularVerb& verb : IrregularVerbs) {
        // Prefixed verbs conjugate as their base ("abfahren" as "fahren").
        size_t size = strlen(verb.infinitive);
        if (endsWith(infinitive, verb.infinitive) && (infinitive.size() == size || size > 3))
            return &verb;
    }
    return 0;
}

// The stem: the infinitive without "en" or "n".
static std::string stemOf(const std::string& infinitive)
{
    if (endsWith(infinitive, "en"))
        return infinitive.substr(0, infinitive.size() - 2);
    if (endsWith(infinitive, "n"))
        return infinitive.substr(0, infinitive.size() - 1);
    return infinitive;
}

// The nth word of a list of six separated by blanks.
static std::string nthForm(const char* forms, int n)
{
    std::string list = forms;
    size_t start = 0;
    for (int i = 0; i < n; ++i)
        start = list.find(' ', start) + 1;
    return list.substr(start, list.find(' ', start) - start);
}

static int needsLinkingE(const std::string& stem)
{
    return endsWith(stem, "t") || endsWith(stem, "d") || endsWith(stem, "chn") || endsWith(stem, "ffn")
        || endsWith(stem, "gn");
}

std::string conjugated(const std::string& infinitive, int person, int past)
{
    size_t space = infinitive.rfind(' ');
    if (space != std::string::npos)
        return infinitive.substr(0, space + 1) + conjugated(infinitive.substr(space + 1), person, past);
    const IrregularVerb* verb = findIrregular(infinitive);
    std::string prefix = verb ? infinitive.substr(0, infinitive.size() - strlen(verb->infinitive)) : "";
    static const char* const StrongPast[PERSON_COUNT] = { "", "st", "", "en", "t", "en" };
    static const char* const WeakPast[PERSON_COUNT] = { "", "st", "", "n", "t", "n" };
    if (past) {
        std::string stem = verb ? prefix + verb->pastStem : stemOf(infinitive) + (needsLinkingE(stemOf(infinitive)) ? "ete" : "te");
        return stem + (endsWith(stem, "e") ? WeakPast : StrongPast)[person];
    }
    if (person == 3 || person == 5)
        return infinitive;
    if (verb && verb->present[0])
        return prefix + nthForm(verb->present, person);
    std::string stem = stemOf(infinitive);
    if (verb && verb->changedStem[0] && (person == 1 || person == 2))
        stem = prefix + verb->changedStem;
    if (person == 0)
        return stem + "e";
    int hissing = endsWith(stem, "s") || endsWith(stem, "ß") || endsWith(stem, "z") || endsWith(stem, "x");
    if (endsWith(stem, "t") && verb && verb->changedStem[0])
        return stem + (person == 1 ? "st" : "");
    std::string linking = needsLinkingE(stem) ? "e" : "";
    if (person == 1)
        return stem + linking + (hissing ? "t" : "st");
    return stem + linking + "t";
}

std::string pastParticiple(const std::string& infinitive)
{
    size_t space = infinitive.rfind(' ');
    if (space != std::string::npos)
        return infinitive.substr(0, space + 1) + pastParticiple(infinitive.substr(space + 1));
    static const char* const Unstressed[] = { "be", "ver", "er", "ent", "zer", "ge", "emp", "miss" };
    int unstressed = 0;
    for (const char* prefix : Unstressed)
        if (infinitive.compare(0, strlen(prefix), prefix) == 0 && infinitive.size() > strlen(prefix) + 4)
            unstressed = 1;
    const IrregularVerb* verb = findIrregular(infinitive);
    if (verb) {
        std::string prefix = infinitive.substr(0, infinitive.size() - strlen(verb->infinitive));
        std::string participle = verb->participle;
        return prefix + (unstressed && !prefix.empty() ? participle.substr(2) : participle);
    }
    std::string stem = stemOf(infinitive);
    std::string ending = needsLinkingE(stem) ? "et" : "t";
    if (unstressed)
        return stem + ending;
    if (endsWith(stem, "ier"))
        return stem + ending;
    return "ge" + stem + ending;
}

int perfectWithSein(const std::string& infinitive)
{
    const IrregularVerb* verb = findIrregular(infinitive);
    return verb && verb->withSein;
}

std::string irregularInfinitive(const std::string& form, int& tense)
{
    // Every form of every irregular verb, made once: the lookup serves each
    // word of a German text.
    typedef std::map<std::string, std::pair<const char*, int>> FormTable;
    static const FormTable Forms = [] {
        FormTable forms;
        for (const IrregularVerb& verb : IrregularVerbs) {
            forms.emplace(verb.participle, std::make_pair(verb.infinitive, 2));
            for (int past = 0; past < 2; ++past)
                for (int person = 0; person < PERSON_COUNT; ++person)
                    forms.emplace(conjugated(verb.infinitive, person, past), std::make_pair(verb.infinitive, past));
        }
        return forms;
    }();
    auto found = Forms.find(form);
    tense = found == Forms.end() ? 0 : found->second.second;
    return found == Forms.end() ? "" : found->second.first;
}
