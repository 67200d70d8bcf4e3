// The worker of a translation job: the exchange on a thread of its own,
// which sets jobDone and wakes the main window when it ends.
#pragma once

// Clears abortRequested and jobDone and starts the worker. Returns 0 when
// the thread cannot be made; nothing will then set jobDone.
int startTranslationWorker();
// Waits for the worker to end and returns its result: 1 with the page in
// netBuffer.
int finishTranslationWorker();
// The Abort command's rule. The first command asks the exchange to stop and
// returns 1. A later one (abortRequested was raised by a receive error)
// returns 0, and ends the worker by force once it has had 10 seconds to
// stop by itself.
int abortTranslationWorker();
