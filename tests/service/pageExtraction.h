// Runs a page through the program's own cleaning and extraction.
#pragma once
#include <cstring>
#include <string>
#include "textLogicBuffers.h"
#include "languagePairs.h"
#include "replyExtractor.h"
#include "translationState.h"

// What the program shows for the answer, or the tag of the failed step. The
// buffer is of its exact size (TextLogicBuffers), so that the address sanitizer
// stops a page too long for it.
inline std::string extractFromPage(Language target, const std::string& response)
{
    memcpy(netBuffer, response.c_str(), response.size() + 1);
    targetLanguage = target;
    if (!cleanPage())
        return "HTML_NOT_FOUND";
    if (!extractTranslation())
        return "TRANS_NOT_FOUND";
    return workText;
}
