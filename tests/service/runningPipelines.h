// The Apertium pipelines started in process, for the tests that translate.
#pragma once
#include <cstdio>
#include <cstdlib>
#include <string>
#include "apertiumPipeline.h"
#include "translation.h"

// Short enough that waiting it out keeps the tests quick, long enough for
// the longest text here on a busy machine.
constexpr int ANSWER_TIMEOUT_MS = 5000;

// Two of each mode: a request that fails on one is sent to the other.
inline int pipelinesReady()
{
    static int ready = startTranslation(2, ANSWER_TIMEOUT_MS) && atexit(stopApertiumPipelines) == 0;
    return ready;
}

inline std::string translated(const char* pair, const std::string& text, TranslationResult expected = TRANSLATED)
{
    std::string translation = "sentinel";
    CHECK_EQ(translateText(findPair(pair), text, translation), expected);
    return translation;
}

// A process of the mode's index-th pipeline chosen by pgrep's options, or 0.
inline int stageProcess(const char* mode, int index, const char* selection)
{
    std::string search = "pgrep " + std::string(selection) + " -g " + std::to_string(apertiumPipelineProcess(mode, index));
    FILE* found = popen(search.c_str(), "r");
    int pid = 0;
    if (fscanf(found, "%d", &pid) != 1)
        pid = 0;
    pclose(found);
    return pid;
}

