// English from German text: the small words from our own tables, the others
// found by their lemma ("Nächte" as "Nacht", "wohnt" as "wohnen") in the
// dictionary, in the sense of their part of speech and in the English form
// of the German one; the infinitive or participle that German puts at the
// end of a clause follows its auxiliary, and a separated prefix joins its verb.
#pragma once
#include <string>

// UTF-8 in and out; pairRow names the German-English dictionary.
void renderGermanAsEnglish(int pairRow, const std::string& text, std::string& out);
