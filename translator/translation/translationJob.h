// A translation job: the window's busy state, the worker thread that runs
// the exchange, the message loop that waits for it, and the Abort command.
#pragma once

// Plain 32-bit flags shared by the window thread and the worker: each is
// written by one side and polled by the other.
extern volatile long abortRequested;
extern volatile long jobDone;

// Runs a job for sourceText and pairCode. Returns 1 with the translation at
// the start of workText.
int runTranslationJob();
int translationJobRunning();
// The Abort command. The first one asks the exchange to stop; a later one
// (the exchange has already given up after a receive error) ends the worker
// by force once it has had 10 seconds to stop by itself.
void abortTranslationJob();
