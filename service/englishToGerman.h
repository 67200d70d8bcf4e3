// German from analysed English: the small words from our own tables, the
// others from the dictionary in the sense of their part of speech, articles
// and verbs in the forms the grammar asks for, the verb second in a main
// clause and its infinitive or participle at the end.
#pragma once
#include <string>
#include <vector>
#include "taggerAnswer.h"

// UTF-8 out; pairRow names the English-German dictionary.
void renderEnglishAsGerman(int pairRow, const std::vector<EnglishWord>& words, std::string& out);
