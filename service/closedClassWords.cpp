#include "closedClassWords.h"
#include <cstring>

// An empty class matches any: the tagger takes "please" for a verb. A German
// stem ending in "-" takes the endings of "ein", one ending in "*" those of
// "dieser"; a modal's "=" form is a fixed past stem ("würde").
static const EnglishSmallWord EnglishWords[] = {
    { "in", "pr", "in", ROLE_PREPOSITION, CASE_DATIVE },
    { "at", "pr", "an", ROLE_PREPOSITION, CASE_DATIVE },
    { "on", "pr", "auf", ROLE_PREPOSITION, CASE_DATIVE },
    { "to", "pr", "zu", ROLE_PREPOSITION, CASE_DATIVE },
    { "for", "pr", "für", ROLE_PREPOSITION, CASE_ACCUSATIVE },
    { "with", "pr", "mit", ROLE_PREPOSITION, CASE_DATIVE },
    { "of", "pr", "von", ROLE_PREPOSITION, CASE_DATIVE },
    { "from", "pr", "aus", ROLE_PREPOSITION, CASE_DATIVE },
    { "by", "pr", "mit", ROLE_PREPOSITION, CASE_DATIVE },
    { "about", "pr", "über", ROLE_PREPOSITION, CASE_ACCUSATIVE },
    { "after", "pr", "nach", ROLE_PREPOSITION, CASE_DATIVE },
    { "before", "pr", "vor", ROLE_PREPOSITION, CASE_DATIVE },
    { "into", "pr", "in", ROLE_PREPOSITION, CASE_ACCUSATIVE },
    { "under", "pr", "unter", ROLE_PREPOSITION, CASE_DATIVE },
    { "over", "pr", "über", ROLE_PREPOSITION, CASE_DATIVE },
    { "above", "pr", "über", ROLE_PREPOSITION, CASE_DATIVE },
    { "below", "pr", "unter", ROLE_PREPOSITION, CASE_DATIVE },
    { "between", "pr", "zwischen", ROLE_PREPOSITION, CASE_DATIVE },
    { "through", "pr", "durch", ROLE_PREPOSITION, CASE_ACCUSATIVE },
    { "during", "pr", "während", ROLE_PREPOSITION, CASE_DATIVE },
    { "since", "pr", "seit", ROLE_PREPOSITION, CASE_DATIVE },
    { "until", "pr", "bis", ROLE_PREPOSITION, CASE_ACCUSATIVE },
    { "without", "pr", "ohne", ROLE_PREPOSITION, CASE_ACCUSATIVE },
    { "against", "pr", "gegen", ROLE_PREPOSITION, CASE_ACCUSATIVE },
    { "behind", "pr", "hinter", ROLE_PREPOSITION, CASE_DATIVE },
    { "along", "pr", "entlang", ROLE_PREPOSITION, CASE_ACCUSATIVE },
    { "around", "pr", "um", ROLE_PREPOSITION, CASE_ACCUSATIVE },
    { "across", "pr", "über", ROLE_PREPOSITION, CASE_ACCUSATIVE },
    { "near", "", "bei", ROLE_PREPOSITION, CASE_DATIVE },
    { "like", "pr", "wie", ROLE_PREPOSITION, CASE_NOMINATIVE },
    { "than", "", "als", ROLE_PREPOSITION, CASE_NOMINATIVE },
    { "as", "pr", "als", ROLE_PREPOSITION, CASE_NOMINATIVE },
    { "per", "pr", "pro", ROLE_PREPOSITION, CASE_ACCUSATIVE },
    { "towards", "pr", "zu", ROLE_PREPOSITION, CASE_DATIVE },
    { "except", "pr", "außer", ROLE_PREPOSITION, CASE_DATIVE },
    { "and", "cnjcoo", "und", ROLE_CONJUNCTION, CASE_NOMINATIVE },
    { "or", "cnjcoo", "oder", ROLE_CONJUNCTION, CASE_NOMINATIVE },
    { "but", "cnjcoo", "aber", ROLE_CONJUNCTION, CASE_NOMINATIVE },
    { "so", "cnjadv", "also", ROLE_CONJUNCTION, CASE_NOMINATIVE },
    { "because", "", "weil", ROLE_SUBORDINATOR, CASE_NOMINATIVE },
    { "that", "cnjsub", "dass", ROLE_SUBORDINATOR, CASE_NOMINATIVE },
    { "if", "", "wenn", ROLE_SUBORDINATOR, CASE_NOMINATIVE },
    { "when", "cnjsub", "wenn", ROLE_SUBORDINATOR, CASE_NOMINATIVE },
    { "while", "cnjsub", "während", ROLE_SUBORDINATOR, CASE_NOMINATIVE },
    { "although", "", "obwohl", ROLE_SUBORDINATOR, CASE_NOMINATIVE },
    { "before", "cnjsub", "bevor", ROLE_SUBORDINATOR, CASE_NOMINATIVE },
    { "after", "cnjsub", "nachdem", ROLE_SUBORDINATOR, CASE_NOMINATIVE },
    { "whether", "", "ob", ROLE_SUBORDINATOR, CASE_NOMINATIVE },
    { "not", "", "nicht", ROLE_NEGATION, CASE_NOMINATIVE },
    { "never", "", "nie", ROLE_NEGATION, CASE_NOMINATIVE },
    { "very", "", "sehr", ROLE_ADVERB, CASE_NOMINATIVE },
    { "too", "preadv", "zu", ROLE_ADVERB, CASE_NOMINATIVE },
    { "too", "adv", "auch", ROLE_ADVERB, CASE_NOMINATIVE },
    { "also", "", "auch", ROLE_ADVERB, CASE_NOMINATIVE },
    { "always", "", "immer", ROLE_ADVERB, CASE_NOMINATIVE },
    { "often", "", "oft", ROLE_ADVERB, CASE_NOMINATIVE },
    { "sometimes", "", "manchmal", ROLE_ADVERB, CASE_NOMINATIVE },
    { "usually", "", "normalerweise", ROLE_ADVERB, CASE_NOMINATIVE },
    { "here", "", "hier", ROLE_ADVERB, CASE_NOMINATIVE },
    { "there", "", "dort", ROLE_ADVERB, CASE_NOMINATIVE },
    { "today", "", "heute", ROLE_ADVERB, CASE_NOMINATIVE },
    { "tomorrow", "", "morgen", ROLE_ADVERB, CASE_NOMINATIVE },
    { "yesterday", "", "gestern", ROLE_ADVERB, CASE_NOMINATIVE },
    { "tonight", "", "heute Abend", ROLE_ADVERB, CASE_NOMINATIVE },
    { "last night", "", "gestern Abend", ROLE_ADVERB, CASE_NOMINATIVE },
    { "this morning", "", "heute Morgen", ROLE_ADVERB, CASE_NOMINATIVE },
    { "in the morning", "", "am Morgen", ROLE_ADVERB, CASE_NOMINATIVE },
    { "in the afternoon", "", "am Nachmittag", ROLE_ADVERB, CASE_NOMINATIVE },
    { "in the evening", "", "am Abend", ROLE_ADVERB, CASE_NOMINATIVE },
    { "at home", "", "zu Hause", ROLE_ADVERB, CASE_NOMINATIVE },
    { "home", "adv", "nach Hause", ROLE_ADVERB, CASE_NOMINATIVE },
    { "o'clock", "", "Uhr", ROLE_ADVERB, CASE_NOMINATIVE },
    { "now", "", "jetzt", ROLE_ADVERB, CASE_NOMINATIVE },
    { "again", "", "wieder", ROLE_ADVERB, CASE_NOMINATIVE },
    { "almost", "", "fast", ROLE_ADVERB, CASE_NOMINATIVE },
    { "only", "", "nur", ROLE_ADVERB, CASE_NOMINATIVE },
    { "already", "", "schon", ROLE_ADVERB, CASE_NOMINATIVE },
    { "still", "", "noch", ROLE_ADVERB, CASE_NOMINATIVE },
    { "yet", "", "noch", ROLE_ADVERB, CASE_NOMINATIVE },
    { "soon", "", "bald", ROLE_ADVERB, CASE_NOMINATIVE },
    { "just", "", "gerade", ROLE_ADVERB, CASE_NOMINATIVE },
    { "so", "preadv", "so", ROLE_ADVERB, CASE_NOMINATIVE },
    { "quite", "", "ziemlich", ROLE_ADVERB, CASE_NOMINATIVE },
    { "really", "", "wirklich", ROLE_ADVERB, CASE_NOMINATIVE },
    { "how", "", "wie", ROLE_ADVERB, CASE_NOMINATIVE },
    { "where", "", "wo", ROLE_ADVERB, CASE_NOMINATIVE },
    { "when", "adv", "wann", ROLE_ADVERB, CASE_NOMINATIVE },
    { "why", "", "warum", ROLE_ADVERB, CASE_NOMINATIVE },
    { "please", "", "bitte", ROLE_ADVERB, CASE_NOMINATIVE },
    { "together", "", "zusammen", ROLE_ADVERB, CASE_NOMINATIVE },
    { "then", "", "dann", ROLE_ADVERB, CASE_NOMINATIVE },
    { "later", "", "später", ROLE_ADVERB, CASE_NOMINATIVE },
    { "early", "adv", "früh", ROLE_ADVERB, CASE_NOMINATIVE },
    { "late", "adv", "spät", ROLE_ADVERB, CASE_NOMINATIVE },
    { "maybe", "", "vielleicht", ROLE_ADVERB, CASE_NOMINATIVE },
    { "perhaps", "", "vielleicht", ROLE_ADVERB, CASE_NOMINATIVE },
    { "more", "", "mehr", ROLE_ADVERB, CASE_NOMINATIVE },
    { "well", "adv", "gut", ROLE_ADVERB, CASE_NOMINATIVE },
    { "back", "adv", "zurück", ROLE_ADVERB, CASE_NOMINATIVE },
    { "a", "det", "ein-", ROLE_ARTICLE, CASE_NOMINATIVE },
    { "an", "det", "ein-", ROLE_ARTICLE, CASE_NOMINATIVE },
    { "no", "det", "kein-", ROLE_ARTICLE, CASE_NOMINATIVE },
    { "my", "det", "mein-", ROLE_ARTICLE, CASE_NOMINATIVE },
    { "your", "det", "Ihr-", ROLE_ARTICLE, CASE_NOMINATIVE },
    { "his", "det", "sein-", ROLE_ARTICLE, CASE_NOMINATIVE },
    { "her", "det", "ihr-", ROLE_ARTICLE, CASE_NOMINATIVE },
    { "its", "det", "sein-", ROLE_ARTICLE, CASE_NOMINATIVE },
    { "our", "det", "unser-", ROLE_ARTICLE, CASE_NOMINATIVE },
    { "their", "det", "ihr-", ROLE_ARTICLE, CASE_NOMINATIVE },
    { "this", "det", "dies*", ROLE_ARTICLE, CASE_NOMINATIVE },
    { "that", "det", "dies*", ROLE_ARTICLE, CASE_NOMINATIVE },
    { "every", "det", "jed*", ROLE_ARTICLE, CASE_NOMINATIVE },
    { "each", "det", "jed*", ROLE_ARTICLE, CASE_NOMINATIVE },
    { "what", "det", "welch*", ROLE_ARTICLE, CASE_NOMINATIVE },
    { "which", "det", "welch*", ROLE_ARTICLE, CASE_NOMINATIVE },
    { "some", "det", "einige", ROLE_ARTICLE, CASE_NOMINATIVE },
    { "many", "det", "viele", ROLE_ARTICLE, CASE_NOMINATIVE },
    { "much", "det", "viel", ROLE_ARTICLE, CASE_NOMINATIVE },
    { "a few", "det", "ein paar", ROLE_ARTICLE, CASE_NOMINATIVE },
    { "all", "det", "alle", ROLE_ARTICLE, CASE_NOMINATIVE },
    { "both", "det", "beide", ROLE_ARTICLE, CASE_NOMINATIVE },
    { "several", "det", "mehrere", ROLE_ARTICLE, CASE_NOMINATIVE },
    { "any", "det", "", ROLE_ARTICLE, CASE_NOMINATIVE },
    { "one", "num", "ein-", ROLE_ARTICLE, CASE_NOMINATIVE },
    { "two", "num", "zwei", ROLE_NUMBER, CASE_NOMINATIVE },
    { "three", "num", "drei", ROLE_NUMBER, CASE_NOMINATIVE },
    { "four", "num", "vier", ROLE_NUMBER, CASE_NOMINATIVE },
    { "five", "num", "fünf", ROLE_NUMBER, CASE_NOMINATIVE },
    { "six", "num", "sechs", ROLE_NUMBER, CASE_NOMINATIVE },
    { "seven", "num", "sieben", ROLE_NUMBER, CASE_NOMINATIVE },
    { "eight", "num", "acht", ROLE_NUMBER, CASE_NOMINATIVE },
    { "nine", "num", "neun", ROLE_NUMBER, CASE_NOMINATIVE },
    { "ten", "num", "zehn", ROLE_NUMBER, CASE_NOMINATIVE },
    { "eleven", "num", "elf", ROLE_NUMBER, CASE_NOMINATIVE },
    { "twelve", "num", "zwölf", ROLE_NUMBER, CASE_NOMINATIVE },
    { "fifteen", "num", "fünfzehn", ROLE_NUMBER, CASE_NOMINATIVE },
    { "twenty", "num", "zwanzig", ROLE_NUMBER, CASE_NOMINATIVE },
    { "thirty", "num", "dreißig", ROLE_NUMBER, CASE_NOMINATIVE },
    { "fifty", "num", "fünfzig", ROLE_NUMBER, CASE_NOMINATIVE },
    { "hundred", "num", "hundert", ROLE_NUMBER, CASE_NOMINATIVE },
    { "thousand", "num", "tausend", ROLE_NUMBER, CASE_NOMINATIVE },
    { "first", "", "erst", ROLE_NUMBER, CASE_NOMINATIVE },
    { "second", "det", "zweit", ROLE_NUMBER, CASE_NOMINATIVE },
    { "third", "", "dritt", ROLE_NUMBER, CASE_NOMINATIVE },
    { "last", "det", "letzt", ROLE_NUMBER, CASE_NOMINATIVE },
    { "next", "det", "nächst", ROLE_NUMBER, CASE_NOMINATIVE },
    { "can", "vaux", "können", ROLE_MODAL, CASE_NOMINATIVE },
    { "could", "vaux", "=könnte", ROLE_MODAL, CASE_NOMINATIVE },
    { "must", "", "müssen", ROLE_MODAL, CASE_NOMINATIVE },
    { "may", "vaux", "dürfen", ROLE_MODAL, CASE_NOMINATIVE },
    { "might", "vaux", "=könnte", ROLE_MODAL, CASE_NOMINATIVE },
    { "should", "vaux", "=sollte", ROLE_MODAL, CASE_NOMINATIVE },
    { "shall", "vaux", "sollen", ROLE_MODAL, CASE_NOMINATIVE },
    { "will", "vaux", "werden", ROLE_MODAL, CASE_NOMINATIVE },
    { "would", "vaux", "=würde", ROLE_MODAL, CASE_NOMINATIVE },
    { "something", "prn", "etwas", ROLE_OBJECT, CASE_NOMINATIVE },
    { "nothing", "prn", "nichts", ROLE_OBJECT, CASE_NOMINATIVE },
    { "everything", "prn", "alles", ROLE_OBJECT, CASE_NOMINATIVE },
    { "someone", "prn", "jemand", ROLE_PRONOUN, CASE_NOMINATIVE },
    { "everyone", "prn", "alle", ROLE_PRONOUN, CASE_NOMINATIVE },
    { "this", "prn", "das", ROLE_PRONOUN, CASE_NOMINATIVE },
    { "that", "prn", "das", ROLE_PRONOUN, CASE_NOMINATIVE },
    { "what", "prn", "was", ROLE_PRONOUN, CASE_NOMINATIVE },
    { "who", "prn", "wer", ROLE_PRONOUN, CASE_NOMINATIVE },
    { "how much", "prn", "wie viel", ROLE_PRONOUN, CASE_NOMINATIVE },
    { "how many", "prn", "wie viele", ROLE_PRONOUN, CASE_NOMINATIVE },
};

const EnglishSmallWord* findEnglishSmallWord(const std::string& lemma, const std::string& wordClass)
{
    for (const EnglishSmallWord& word : EnglishWords)
        if (lemma == word.lemma && (!word.wordClass[0] || wordClass == word.wordClass))
            return &word;
    return 0;
}

// Forms that take endings are listed by their stem and a "-": the lookup
// tries a word without "e", "en", "em", "er" or "es" too.
static const GermanSmallWord GermanWords[] = {
    { "der", "the", ROLE_ARTICLE, 2 }, { "die", "the", ROLE_ARTICLE, 2 }, { "das", "the", ROLE_ARTICLE, 2 },
    { "den", "the", ROLE_ARTICLE, 2 }, { "dem", "the", ROLE_ARTICLE, 2 }, { "des", "the", ROLE_ARTICLE, 2 },
    { "ein-", "a", ROLE_ARTICLE, 2 }, { "kein-", "no", ROLE_ARTICLE, 2 }, { "mein-", "my", ROLE_ARTICLE, 2 },
    { "dein-", "your", ROLE_ARTICLE, 2 }, { "unser-", "our", ROLE_ARTICLE, 2 }, { "eur-", "your", ROLE_ARTICLE, 2 },
    { "ihr-", "her", ROLE_ARTICLE, 2 }, { "Ihr-", "your", ROLE_ARTICLE, 2 }, { "dies-", "this", ROLE_ARTICLE, 2 },
    { "jed-", "every", ROLE_ARTICLE, 2 }, { "welch-", "which", ROLE_ARTICLE, 2 }, { "all-", "all", ROLE_ARTICLE, 5 },
    { "viel-", "many", ROLE_ARTICLE, 5 }, { "einig-", "some", ROLE_ARTICLE, 5 },
    { "seine", "his", ROLE_ARTICLE, 2 }, { "seinen", "his", ROLE_ARTICLE, 2 }, { "seinem", "his", ROLE_ARTICLE, 2 },
    { "seiner", "his", ROLE_ARTICLE, 2 }, { "seines", "his", ROLE_ARTICLE, 2 },
    { "ich", "I", ROLE_PRONOUN, 0 }, { "du", "you", ROLE_PRONOUN, 1 }, { "er", "he", ROLE_PRONOUN, 2 },
    { "sie", "she", ROLE_PRONOUN, 2 }, { "es", "it", ROLE_PRONOUN, 2 }, { "wir", "we", ROLE_PRONOUN, 3 },
    { "ihr", "you", ROLE_PRONOUN, 4 }, { "Sie", "you", ROLE_PRONOUN, 5 }, { "man", "you", ROLE_PRONOUN, 5 },
    { "mich", "me", ROLE_OBJECT, 0 }, { "mir", "me", ROLE_OBJECT, 0 }, { "dich", "you", ROLE_OBJECT, 1 },
    { "dir", "you", ROLE_OBJECT, 1 }, { "ihn", "him", ROLE_OBJECT, 2 }, { "ihm", "him", ROLE_OBJECT, 2 },
    { "uns", "us", ROLE_OBJECT, 3 }, { "euch", "you", ROLE_OBJECT, 4 }, { "ihnen", "them", ROLE_OBJECT, 5 },
    { "Ihnen", "you", ROLE_OBJECT, 5 }, { "sich", "", ROLE_OBJECT, 5 }, { "etwas", "something", ROLE_OBJECT, 2 },
    { "nichts", "nothing", ROLE_OBJECT, 2 }, { "alles", "everything", ROLE_OBJECT, 2 },
    { "bin", "am", ROLE_AUXILIARY, 0 }, { "bist", "are", ROLE_AUXILIARY, 1 }, { "ist", "is", ROLE_AUXILIARY, 2 },
    { "sind", "are", ROLE_AUXILIARY, 3 }, { "seid", "are", ROLE_AUXILIARY, 4 }, { "war", "was", ROLE_AUXILIARY, 2 },
    { "warst", "were", ROLE_AUXILIARY, 1 }, { "waren", "were", ROLE_AUXILIARY, 3 },
    { "habe", "have", ROLE_AUXILIARY, 0 }, { "hast", "have", ROLE_AUXILIARY, 1 }, { "hat", "has", ROLE_AUXILIARY, 2 },
    { "haben", "have", ROLE_AUXILIARY, 3 }, { "habt", "have", ROLE_AUXILIARY, 4 }, { "hatte", "had", ROLE_AUXILIARY, 2 },
    { "hatten", "had", ROLE_AUXILIARY, 3 }, { "werde", "will", ROLE_AUXILIARY, 0 }, { "wirst", "will", ROLE_AUXILIARY, 1 },
    { "wird", "will", ROLE_AUXILIARY, 2 }, { "werden", "will", ROLE_AUXILIARY, 3 }, { "wurde", "was", ROLE_AUXILIARY, 2 },
    { "wurden", "were", ROLE_AUXILIARY, 3 }, { "kann", "can", ROLE_MODAL, 2 }, { "kannst", "can", ROLE_MODAL, 1 },
    { "können", "can", ROLE_MODAL, 3 }, { "könnt", "can", ROLE_MODAL, 4 }, { "konnte", "could", ROLE_MODAL, 2 },
    { "konnten", "could", ROLE_MODAL, 3 }, { "könnte", "could", ROLE_MODAL, 2 }, { "könnten", "could", ROLE_MODAL, 3 },
    { "muss", "must", ROLE_MODAL, 2 }, { "musst", "must", ROLE_MODAL, 1 }, { "müssen", "must", ROLE_MODAL, 3 },
    { "musste", "had to", ROLE_MODAL, 2 }, { "mussten", "had to", ROLE_MODAL, 3 }, { "soll", "should", ROLE_MODAL, 2 },
    { "sollst", "should", ROLE_MODAL, 1 }, { "sollen", "should", ROLE_MODAL, 3 }, { "sollte", "should", ROLE_MODAL, 2 },
    { "sollten", "should", ROLE_MODAL, 3 }, { "will", "want to", ROLE_MODAL, 0 }, { "willst", "want to", ROLE_MODAL, 1 },
    { "wollen", "want to", ROLE_MODAL, 3 }, { "wollte", "wanted to", ROLE_MODAL, 2 }, { "darf", "may", ROLE_MODAL, 2 },
    { "dürfen", "may", ROLE_MODAL, 3 }, { "möchte", "would like to", ROLE_MODAL, 0 },
    { "möchtest", "would like to", ROLE_MODAL, 1 }, { "möchten", "would like to", ROLE_MODAL, 3 },
    { "würde", "would", ROLE_MODAL, 2 }, { "würden", "would", ROLE_MODAL, 3 }, { "mag", "like", ROLE_MODAL, 2 },
    { "nicht", "not", ROLE_NEGATION, 2 }, { "nie", "never", ROLE_NEGATION, 2 },
    { "und", "and", ROLE_CONJUNCTION, 2 }, { "oder", "or", ROLE_CONJUNCTION, 2 }, { "aber", "but", ROLE_CONJUNCTION, 2 },
    { "denn", "because", ROLE_CONJUNCTION, 2 }, { "sondern", "but", ROLE_CONJUNCTION, 2 },
    { "weil", "because", ROLE_SUBORDINATOR, 2 }, { "dass", "that", ROLE_SUBORDINATOR, 2 },
    { "wenn", "if", ROLE_SUBORDINATOR, 2 }, { "ob", "whether", ROLE_SUBORDINATOR, 2 },
    { "obwohl", "although", ROLE_SUBORDINATOR, 2 }, { "bevor", "before", ROLE_SUBORDINATOR, 2 },
    { "nachdem", "after", ROLE_SUBORDINATOR, 2 }, { "damit", "so that", ROLE_SUBORDINATOR, 2 },
    { "als", "as", ROLE_PREPOSITION, 2 }, { "in", "in", ROLE_PREPOSITION, 2 }, { "im", "in the", ROLE_PREPOSITION, 2 },
    { "ins", "into the", ROLE_PREPOSITION, 2 }, { "an", "at", ROLE_PREPOSITION, 2 }, { "am", "at the", ROLE_PREPOSITION, 2 },
    { "auf", "on", ROLE_PREPOSITION, 2 }, { "mit", "with", ROLE_PREPOSITION, 2 }, { "für", "for", ROLE_PREPOSITION, 2 },
    { "von", "of", ROLE_PREPOSITION, 2 }, { "vom", "from the", ROLE_PREPOSITION, 2 }, { "zu", "to", ROLE_PREPOSITION, 2 },
    { "zum", "to the", ROLE_PREPOSITION, 2 }, { "zur", "to the", ROLE_PREPOSITION, 2 }, { "nach", "to", ROLE_PREPOSITION, 2 },
    { "aus", "from", ROLE_PREPOSITION, 2 }, { "bei", "at", ROLE_PREPOSITION, 2 }, { "beim", "at the", ROLE_PREPOSITION, 2 },
    { "um", "at", ROLE_PREPOSITION, 2 }, { "seit", "for", ROLE_PREPOSITION, 2 }, { "über", "about", ROLE_PREPOSITION, 2 },
    { "unter", "under", ROLE_PREPOSITION, 2 }, { "vor", "before", ROLE_PREPOSITION, 2 },
    { "hinter", "behind", ROLE_PREPOSITION, 2 }, { "neben", "next to", ROLE_PREPOSITION, 2 },
    { "zwischen", "between", ROLE_PREPOSITION, 2 }, { "durch", "through", ROLE_PREPOSITION, 2 },
    { "ohne", "without", ROLE_PREPOSITION, 2 }, { "gegen", "against", ROLE_PREPOSITION, 2 },
    { "während", "during", ROLE_PREPOSITION, 2 }, { "bis", "until", ROLE_PREPOSITION, 2 },
    { "entlang", "along", ROLE_PREPOSITION, 2 }, { "wegen", "because of", ROLE_PREPOSITION, 2 },
    { "sehr", "very", ROLE_ADVERB, 2 }, { "auch", "also", ROLE_ADVERB, 2 }, { "noch", "still", ROLE_ADVERB, 2 },
    { "schon", "already", ROLE_ADVERB, 2 }, { "immer", "always", ROLE_ADVERB, 2 }, { "oft", "often", ROLE_ADVERB, 2 },
    { "manchmal", "sometimes", ROLE_ADVERB, 2 }, { "hier", "here", ROLE_ADVERB, 2 }, { "dort", "there", ROLE_ADVERB, 2 },
    { "heute", "today", ROLE_ADVERB, 2 }, { "morgen", "tomorrow", ROLE_ADVERB, 2 },
    { "gestern", "yesterday", ROLE_ADVERB, 2 }, { "jetzt", "now", ROLE_ADVERB, 2 }, { "bald", "soon", ROLE_ADVERB, 2 },
    { "wieder", "again", ROLE_ADVERB, 2 }, { "fast", "almost", ROLE_ADVERB, 2 }, { "nur", "only", ROLE_ADVERB, 2 },
    { "bitte", "please", ROLE_ADVERB, 2 }, { "gern", "gladly", ROLE_ADVERB, 2 }, { "gerne", "gladly", ROLE_ADVERB, 2 },
    { "zusammen", "together", ROLE_ADVERB, 2 }, { "wie", "how", ROLE_ADVERB, 2 }, { "wo", "where", ROLE_ADVERB, 2 },
    { "was", "what", ROLE_ADVERB, 2 }, { "wer", "who", ROLE_ADVERB, 2 }, { "warum", "why", ROLE_ADVERB, 2 },
    { "wann", "when", ROLE_ADVERB, 2 }, { "viel", "much", ROLE_ADVERB, 2 }, { "mehr", "more", ROLE_ADVERB, 2 },
    { "dann", "then", ROLE_ADVERB, 2 }, { "also", "so", ROLE_ADVERB, 2 }, { "so", "so", ROLE_ADVERB, 2 },
    { "ja", "yes", ROLE_ADVERB, 2 }, { "nein", "no", ROLE_ADVERB, 2 }, { "leider", "unfortunately", ROLE_ADVERB, 2 },
    { "vielleicht", "maybe", ROLE_ADVERB, 2 }, { "genug", "enough", ROLE_ADVERB, 2 }, { "zurück", "back", ROLE_ADVERB, 2 },
    { "später", "later", ROLE_ADVERB, 2 }, { "morgens", "in the morning", ROLE_ADVERB, 2 },
    { "abends", "in the evening", ROLE_ADVERB, 2 }, { "Uhr", "o'clock", ROLE_ADVERB, 2 }, { "halb", "half", ROLE_ADVERB, 2 },
    { "eins", "one", ROLE_NUMBER, 2 }, { "zwei", "two", ROLE_NUMBER, 5 }, { "drei", "three", ROLE_NUMBER, 5 },
    { "vier", "four", ROLE_NUMBER, 5 }, { "fünf", "five", ROLE_NUMBER, 5 }, { "sechs", "six", ROLE_NUMBER, 5 },
    { "sieben", "seven", ROLE_NUMBER, 5 }, { "acht", "eight", ROLE_NUMBER, 5 }, { "neun", "nine", ROLE_NUMBER, 5 },
    { "zehn", "ten", ROLE_NUMBER, 5 }, { "elf", "eleven", ROLE_NUMBER, 5 }, { "zwölf", "twelve", ROLE_NUMBER, 5 },
    { "zwanzig", "twenty", ROLE_NUMBER, 5 }, { "dreißig", "thirty", ROLE_NUMBER, 5 },
    { "hundert", "hundred", ROLE_NUMBER, 5 }, { "tausend", "thousand", ROLE_NUMBER, 5 },
};

static const GermanSmallWord* findExact(const std::string& word)
{
    for (const GermanSmallWord& entry : GermanWords)
        if (word == entry.german)
            return &entry;
    return 0;
}

// A capital letter first: A-Z, or one of UTF-8's capital Latin-1 letters
// (Ä, Ö, Ü among them).
int isCapital(const std::string& word)
{
    unsigned char c = word.empty() ? 0 : (unsigned char)word[0];
    return (c >= 'A' && c <= 'Z') || (c == 0xC3 && word.size() > 1 && (unsigned char)word[1] >= 0x80
                                         && (unsigned char)word[1] < 0xA0);
}

std::string lowerFirst(const std::string& word)
{
    std::string out = word;
    if (!isCapital(out))
        return out;
    if (out[0] >= 'A' && out[0] <= 'Z')
        out[0] = (char)(out[0] + 32);
    else
        out[1] = (char)(out[1] + 0x20);
    return out;
}

const GermanSmallWord* findGermanSmallWord(const std::string& word)
{
    // "Über" at the start of a sentence is "über".
    std::string lower = lowerFirst(word);
    const GermanSmallWord* found = findExact(word);
    if (!found && lower != word)
        found = findExact(lower);
    for (const char* ending : { "", "e", "en", "em", "er", "es", "s" }) {
        size_t size = strlen(ending);
        if (found || lower.size() <= size || lower.compare(lower.size() - size, size, ending) != 0)
            continue;
        // "Ihre" is the polite "your", "ihre" (or a sentence's "Ihre") "her".
        found = findExact(word.substr(0, word.size() - size) + "-");
        if (!found)
            found = findExact(lower.substr(0, lower.size() - size) + "-");
    }
    return found;
}
