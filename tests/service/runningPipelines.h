// The Apertium pipelines started in process, for the tests that translate.
#pragma once
#include <cstdio>
#include <string>
#include "apertiumPipeline.h"
#include "translation.h"

// Short enough that waiting it out keeps the tests quick, long enough for
// the longest text here on a busy machine.
constexpr int ANSWER_TIMEOUT_MS = 5000;

inline int pipelinesReady()
{
    static int ready = startTranslation(ANSWER_TIMEOUT_MS);
    return ready;
}

inline std::string translated(const char* pair, const std::string& text, TranslationResult expected = TRANSLATED)
{
    std::string translation = "sentinel";
    CHECK_EQ(translateText(findPair(pair), text, translation), expected);
    return translation;
}

// A process of the mode's pipeline by its command's name, or 0.
inline int stageProcess(const char* mode, const char* command)
{
    std::string search = "pgrep -x " + std::string(command) + " -g " + std::to_string(apertiumPipelineProcess(mode));
    FILE* found = popen(search.c_str(), "r");
    int pid = 0;
    if (fscanf(found, "%d", &pid) != 1)
        pid = 0;
    pclose(found);
    return pid;
}

