// The German forms that a rendering from the dictionary needs: articles and
// endings by gender and case, the plural of a noun, and the forms of a verb
// from its infinitive, by rule and from a table of the irregular verbs.
#pragma once
#include <string>
#include "dictionarySenses.h"

enum GermanCase { CASE_NOMINATIVE, CASE_ACCUSATIVE, CASE_DATIVE };
// How the words before an adjective decline it: "der" and "dieser" (weak),
// "ein" and "mein" (mixed), nothing (strong).
enum ArticleKind { ARTICLE_DEFINITE, ARTICLE_INDEFINITE, ARTICLE_NONE };
// ich, du, er/sie/es, wir, ihr, sie/Sie.
enum { PERSON_COUNT = 6 };

// "der", "den", "dem"... for a gender (GENDER_PLURAL for the plural).
const char* definiteArticle(Gender gender, GermanCase grammarCase);
// The ending that "ein", "kein" and the possessives take: "", "e", "en"...
const char* einEnding(Gender gender, GermanCase grammarCase);
// The ending of "dieser", "jeder", "welcher": "er", "e", "es"...
const char* derEnding(Gender gender, GermanCase grammarCase);
const char* adjectiveEnding(ArticleKind kind, Gender gender, GermanCase grammarCase);
// "Nacht" → "Nächte": the irregular plurals from a table, else by rule from
// the ending and gender. The dative adds its "n" where the plural has none.
std::string nounPlural(const std::string& noun, Gender gender, GermanCase grammarCase);
// "Nächte" → "Nacht" for the plurals of that table, else "".
std::string irregularSingular(const std::string& plural);

// Present and simple past of a verb given as its infinitive, for a person
// 0 to 5; a phrase ("im Garten arbeiten") conjugates its last word.
std::string conjugated(const std::string& infinitive, int person, int past);
std::string pastParticiple(const std::string& infinitive);
// Verbs of movement and change take "sein" in the perfect.
int perfectWithSein(const std::string& infinitive);
// The infinitive of a form of an irregular verb ("ging", "fährt", "gegangen"),
// else "". tense: 0 for a present, 1 for a simple past, 2 for the participle.
std::string irregularInfinitive(const std::string& form, int& tense);
