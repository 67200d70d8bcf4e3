// The buffers and flags that the window thread and the worker share.
#pragma once
#include "languagePairs.h"

enum {
    SOURCE_TEXT_SIZE = 0x8000,
    WORK_TEXT_SIZE = 0x8000,
    NET_BUFFER_SIZE = 0xFFFF  // not 0x10000: a reply keeps one zero byte behind it
};

extern char* sourceText;
extern char* workText;
extern char* netBuffer;

extern char pairCode[PAIR_CODE_SIZE];
extern Language targetLanguage;
