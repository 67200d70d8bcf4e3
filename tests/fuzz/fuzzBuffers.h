// The shared buffers at their exact sizes, so that the address sanitizer
// sees any access past them.
#pragma once
#include <cstdlib>
#include "translationState.h"

inline void useExactBuffers()
{
    static char* source = (char*)malloc(SOURCE_TEXT_SIZE);
    static char* work = (char*)malloc(WORK_TEXT_SIZE);
    static char* net = (char*)malloc(NET_BUFFER_SIZE);
    sourceText = source;
    workText = work;
    netBuffer = net;
}
