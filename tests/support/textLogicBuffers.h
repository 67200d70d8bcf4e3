// The text logic's shared buffers at their exact sizes, so that the address
// sanitizer sees any access past them, filled with sentinels so that a test
// proves what the code wrote.
#pragma once
#include <cstdlib>
#include <cstring>
#include "translationState.h"

struct TextLogicBuffers {
    TextLogicBuffers()
    {
        memset(sourceText = (char*)malloc(SOURCE_TEXT_SIZE), 'S', SOURCE_TEXT_SIZE);
        memset(workText = (char*)malloc(WORK_TEXT_SIZE), 'W', WORK_TEXT_SIZE);
        memset(netBuffer = (char*)malloc(NET_BUFFER_SIZE), 'N', NET_BUFFER_SIZE);
    }
    ~TextLogicBuffers()
    {
        free(sourceText);
        free(workText);
        free(netBuffer);
    }
};
