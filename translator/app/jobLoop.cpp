#include "jobLoop.h"
#include "appState.h"
#include "replyReport.h"
#include "resource.h"
#include "textsAndMessages.h"
#include "translationJob.h"
#include "translationState.h"

static int jobRunning;

void setWindowBusy(HWND window, int busy)
{
    EnableWindow(GetDlgItem(window, IDC_INPUT), !busy);
    EnableWindow(GetDlgItem(window, IDC_TRANSLATE), !busy);
    EnableWindow(GetDlgItem(window, IDC_AUTO_COPY), !busy);
    EnableWindow(GetDlgItem(window, IDC_SWAP), !busy);
    EnableWindow(GetDlgItem(window, IDC_ABORT), busy);
    EnableMenuItem(GetSystemMenu(window, FALSE), SC_CLOSE, MF_BYCOMMAND | (busy ? MF_GRAYED : MF_ENABLED));
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
    setWindowBusy(mainWindow, 1);
    if (!startTranslationWorker()) {
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
    if (!finishTranslationWorker())
        return 0;
    return extractReply();
}

void abortTranslationJob()
{
    if (abortTranslationWorker())
        EnableWindow(GetDlgItem(mainWindow, IDC_ABORT), FALSE);
    else
        showStatusText(IDS_ABORTING);
}
