// The window's side of a translation job: the busy state, the message loop
// while the worker runs, and the Abort command.
#pragma once
#include <windows.h>

// Returns 1 with the translation at the start of workText.
int runTranslationJob();
// busy 1: a job runs and only Abort is offered; busy 0: idle.
void setWindowBusy(HWND window, int busy);
int translationJobRunning();
// The Abort command.
void abortTranslationJob();
