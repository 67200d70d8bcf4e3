// English words with their lemma and part of speech in context, from the
// analyser and tagger of Apertium's English data.
#pragma once
#include <string>
#include <vector>
#include "taggerAnswer.h"

// The pipeline that gives them: the first three stages of eng-spa.
extern const char EnglishAnalysisMode[];

// Analyses UTF-8 text. 1, or 0 when the pipeline did not answer.
int analyseEnglish(const std::string& text, std::vector<EnglishWord>& words);
