#include <windows.h>
#include "translationJob.h"
#include "appState.h"
#include "resource.h"
#include "serverExchange.h"
#include "textsAndMessages.h"
#include "translationState.h"

enum { FORCED_ABORT_DELAY = 10000 };

static HANDLE workerThread;
static DWORD abortStamp;

// The window's job loop looks at jobDone after each message: this one
// makes sure there is a message to look after.
static void wakeJobLoop()
{
    PostMessageA(mainWindow, WM_COMMAND, 0, 0);
}

static DWORD WINAPI translationWorker(void*)
{
    showStatusText(IDS_CONNECTING);
    int result = exchangeWithServer();
    jobDone = 1;
    wakeJobLoop();
    return (DWORD)result;
}

int startTranslationWorker()
{
    jobDone = 0;
    abortRequested = 0;
    workerThread = CreateThread(0, 0, translationWorker, 0, 0, 0);
    return workerThread != 0;
}

int finishTranslationWorker()
{
    DWORD result = 0;
    WaitForSingleObject(workerThread, INFINITE);
    GetExitCodeThread(workerThread, &result);
    CloseHandle(workerThread);
    workerThread = 0;
    return (int)result;
}

int abortTranslationWorker()
{
    if (!abortRequested) {
        abortStamp = GetTickCount();
        abortRequested = 1;
        // A blocked connect or receive returns at once on a closed socket.
        abortExchange();
        return 1;
    }
    if (GetTickCount() - abortStamp > FORCED_ABORT_DELAY) {
        TerminateThread(workerThread, 0);
        abortExchange();
        jobDone = 1;
        wakeJobLoop();
    }
    return 0;
}
