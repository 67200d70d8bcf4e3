// The program's start and end: everything that lives for the whole run is
// set up and released here, in a fixed order.
#include <windows.h>
#include "appState.h"
#include "languageRow.h"
#include "mainWindow.h"
#include "resource.h"
#include "serverExchange.h"
#include "settingsStore.h"
#include "textsAndMessages.h"
#include "translationState.h"

static int allocateBuffers()
{
    workText = (char*)GlobalAlloc(GMEM_FIXED, WORK_TEXT_SIZE);
    sourceText = (char*)GlobalAlloc(GMEM_FIXED, SOURCE_TEXT_SIZE);
    netBuffer = (char*)GlobalAlloc(GMEM_FIXED, NET_BUFFER_SIZE);
    return workText && sourceText && netBuffer;
}

static void runProgram()
{
    WinsockScope winsock;
    if (!winsock.started)
        ExitProcess(0);
    instanceHandle = GetModuleHandleA(0);
    loadFlags();
    loadText(IDS_CONTACT_PAGE, contactPage, sizeof contactPage);
    loadLanguageNames();
    if (!allocateBuffers()) {
        reportError(IDS_OUT_OF_MEMORY);
        ExitProcess(0);
    }
    openProductKey();
    loadSettings();

    // A Unicode dialog, so that its boxes take any character typed.
    DialogBoxParamW(instanceHandle, MAKEINTRESOURCEW(IDD_MAIN), 0, mainWindowProc, 0);
    mainWindow = 0;

    freeFlags();
    closeProductKey();
    GlobalFree(workText);
    GlobalFree(sourceText);
    GlobalFree(netBuffer);
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    runProgram();
    ExitProcess(0);
}
