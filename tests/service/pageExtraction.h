// Runs a page through the program's own cleaning and extraction.
#pragma once
#include <cstdlib>
#include <cstring>
#include <string>
#include <doctest/doctest.h>
#include "languagePairs.h"
#include "replyExtractor.h"
#include "translationState.h"

// The engine's shared buffers at their real sizes, for one test.
struct EngineBuffers {
    EngineBuffers()
    {
        sourceText = (char*)malloc(SOURCE_TEXT_SIZE);
        workText = (char*)malloc(WORK_TEXT_SIZE);
        netBuffer = (char*)malloc(NET_BUFFER_SIZE);
        memset(workText, 'W', WORK_TEXT_SIZE);
    }
    ~EngineBuffers()
    {
        free(sourceText);
        free(workText);
        free(netBuffer);
        sourceText = workText = netBuffer = 0;
    }
};

// What the program shows for the answer, or the tag of the failed step.
inline std::string extractFromPage(Language target, const std::string& response)
{
    REQUIRE(response.size() < NET_BUFFER_SIZE);
    memcpy(netBuffer, response.c_str(), response.size() + 1);
    targetLanguage = target;
    if (!cleanPage())
        return "HTML_NOT_FOUND";
    if (!extractTranslation())
        return "TRANS_NOT_FOUND";
    return workText;
}
