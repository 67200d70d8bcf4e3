#include "translationState.h"

char* sourceText;
char* workText;
char* netBuffer;

char pairCode[PAIR_CODE_SIZE];
Language targetLanguage;
