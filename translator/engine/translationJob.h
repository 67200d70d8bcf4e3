// One translation: the exchange on a worker thread while the window thread
// keeps dispatching messages.
#pragma once
#include <windows.h>

// Returns 1 with the translation at the start of workText.
int runTranslationJob();
// enable 1: idle; enable 0: busy.
void setBusyState(HWND window, int enable);
int translationJobRunning();
// The Abort command.
void abortTranslationJob();
