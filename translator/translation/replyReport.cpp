#include <windows.h>
#include "replyReport.h"
#include "replyExtractor.h"
#include "resource.h"
#include "textsAndMessages.h"
#include "translationState.h"

static void writeText(HANDLE file, const char* text)
{
    DWORD written;
    WriteFile(file, text, (DWORD)lstrlenA(text), &written, 0);
}

// Writes "C:\\Quorv.rpt": workText, CR LF, the pair code, CR LF, the raw page.
static void writeFailureReport()
{
    HANDLE file = CreateFileA("C:\\Quorv.rpt", GENERIC_WRITE, 0, 0, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, 0);
    if (file == INVALID_HANDLE_VALUE)
        return;
    writeText(file, workText);
    writeText(file, "\r\n");
    writeText(file, pairCode);
    writeText(file, "\r\n");
    writeText(file, netBuffer);
    CloseHandle(file);
}

static int reportInvalidPage(const char* tag)
{
    reportError(IDS_INVALID_PAGE, tag, supportAddress);
    writeFailureReport();
    return 0;
}

int extractReply()
{
    if (!cleanPage())
        return reportInvalidPage(HtmlNotFoundTag);
    if (!extractTranslation())
        return reportInvalidPage(TransNotFoundTag);
    return 1;
}
