#include "translationJob.h"
#include "appState.h"
#include "replyReport.h"
#include "resource.h"
#include "serverExchange.h"
#include "textsAndMessages.h"
#include "translationState.h"

enum { FORCED_ABORT_DELAY = 10000 };

static HANDLE workerThread;
static int jobRunning;
static DWORD abortStamp;

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

void setBusyState(HWND window, int enable)
{
    EnableWindow(GetDlgItem(window, IDC_INPUT), enable);
    EnableWindow(GetDlgItem(window, IDC_TRANSLATE), enable);
    EnableWindow(GetDlgItem(window, IDC_AUTO_COPY), enable);
    EnableWindow(GetDlgItem(window, IDC_SWAP), enable);
    EnableWindow(GetDlgItem(window, IDC_ABORT), !enable);
    EnableMenuItem(GetSystemMenu(window, FALSE), SC_CLOSE, MF_BYCOMMAND | (enable ? MF_ENABLED : MF_GRAYED));
}

// Dispatches messages until the worker has said it is done; the message
// that brings that news is dropped.
static void waitForWorker()
{
    MSG message;
    for (;;) {
        GetMessageA(&message, 0, 0, 0);
        if (jobDone)
            return;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

int translationJobRunning()
{
    return jobRunning;
}

int runTranslationJob()
{
    jobDone = 0;
    abortRequested = 0;
    setBusyState(mainWindow, 0);
    workerThread = CreateThread(0, 0, translationWorker, 0, 0, 0);
    if (!workerThread) {
        // Nobody would ever set jobDone: tell the user and go back to idle.
        reportError(IDS_OUT_OF_MEMORY);
        showStatusText(IDS_READY);
        setBusyState(mainWindow, 1);
        return 0;
    }
    jobRunning = 1;
    waitForWorker();
    jobRunning = 0;
    showStatusText(IDS_READY);
    setBusyState(mainWindow, 1);

    DWORD result = 0;
    WaitForSingleObject(workerThread, INFINITE);
    GetExitCodeThread(workerThread, &result);
    CloseHandle(workerThread);
    workerThread = 0;
    if (!result)
        return 0;
    return extractReply();
}

void abortTranslationJob()
{
    if (!abortRequested) {
        EnableWindow(GetDlgItem(mainWindow, IDC_ABORT), FALSE);
        abortStamp = GetTickCount();
        abortRequested = 1;
        // A blocked connect or receive returns at once on a closed socket.
        abortExchange();
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
