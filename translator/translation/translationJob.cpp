#include <windows.h>
#include "translationJob.h"
#include "appState.h"
#include "replyReport.h"
#include "resource.h"
#include "serverExchange.h"
#include "textsAndMessages.h"
#include "translationState.h"

enum { FORCED_ABORT_DELAY = 10000 };

volatile long abortRequested;
volatile long jobDone;

static int jobRunning;
static HANDLE workerThread;
static DWORD abortStamp;

// busy 1: a job runs and only Abort is offered; busy 0: idle.
static void setWindowBusy(HWND window, int busy)
{
    EnableWindow(GetDlgItem(window, IDC_INPUT), !busy);
    EnableWindow(GetDlgItem(window, IDC_TRANSLATE), !busy);
    EnableWindow(GetDlgItem(window, IDC_AUTO_COPY), !busy);
    EnableWindow(GetDlgItem(window, IDC_SWAP), !busy);
    EnableWindow(GetDlgItem(window, IDC_ABORT), busy);
    EnableMenuItem(GetSystemMenu(window, FALSE), SC_CLOSE, MF_BYCOMMAND | (busy ? MF_GRAYED : MF_ENABLED));
}

// The job loop looks at jobDone after each message: this makes sure there
// is a message to look after.
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

// Dispatches messages until the worker is done. Another message loop, such
// as the About box's, may take its wake-up message, so its end is also seen
// on its thread handle.
static void waitForWorker()
{
    MSG message;
    while (!jobDone) {
        if (MsgWaitForMultipleObjects(1, &workerThread, FALSE, INFINITE, QS_ALLINPUT) == WAIT_OBJECT_0)
            return;
        while (!jobDone && PeekMessageW(&message, 0, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
}

// Returns the worker's result: 1 with the page in netBuffer.
static int finishWorker()
{
    DWORD result = 0;
    WaitForSingleObject(workerThread, INFINITE);
    GetExitCodeThread(workerThread, &result);
    CloseHandle(workerThread);
    workerThread = 0;
    return (int)result;
}

int translationJobRunning()
{
    return jobRunning;
}

int runTranslationJob()
{
    setWindowBusy(mainWindow, 1);
    jobDone = 0;
    abortRequested = 0;
    workerThread = CreateThread(0, 0, translationWorker, 0, 0, 0);
    if (!workerThread) {
        reportError(IDS_OUT_OF_MEMORY);
        showStatusText(IDS_READY);
        setWindowBusy(mainWindow, 0);
        return 0;
    }
    jobRunning = 1;
    waitForWorker();
    jobRunning = 0;
    showStatusText(IDS_READY);
    setWindowBusy(mainWindow, 0);
    if (!finishWorker())
        return 0;
    return extractReply();
}

void abortTranslationJob()
{
    if (!abortRequested) {
        abortStamp = GetTickCount();
        abortRequested = 1;
        // A blocked connect or receive returns at once on a closed socket.
        abortExchange();
        EnableWindow(GetDlgItem(mainWindow, IDC_ABORT), FALSE);
        return;
    }
    if (GetTickCount() - abortStamp > FORCED_ABORT_DELAY) {
        TerminateThread(workerThread, 0);
        abortExchange();
        jobDone = 1;
        wakeJobLoop();
    }
    showStatusText(IDS_ABORTING);
}
