// Translates Windows-1252 text for one of the program's pair codes.
#pragma once
#include <string>

enum TranslationResult {
    TRANSLATED,
    LANGUAGE_UNAVAILABLE,  // a pair of the program that no installed Apertium pair or dictionary serves
    TRANSLATION_FAILED,
    TRANSLATION_BUSY       // a pipeline stayed taken by other requests
};

// Starts pipelineCount Apertium pipelines for each mode of every route (see
// startApertiumPipelines).
int startTranslation(int pipelineCount, int answerTimeoutMs);
// Row of the pair code in LanguagePairs, or -1.
int findPair(const char* code);
// The pair codes the service answers, for a person to read: "en_fr, en_de, ...".
std::string pairCodeList();
// Translates for the pair in row pairRow of LanguagePairs. Line breaks of the
// text (CR LF, LF or CR) come back as LF.
TranslationResult translateText(int pairRow, const std::string& text, std::string& translation);
