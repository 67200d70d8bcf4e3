#include <windows.h>
#include <shlobj.h>
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

static const char reportName[] = "Quorv.rpt";
static const char firstReportPath[] = "C:\\Quorv.rpt";

// Writes workText, CR LF, the pair code, CR LF, the raw page into path.
static int writeReportTo(const char* path)
{
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, 0, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, 0);
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    writeText(file, workText);
    writeText(file, "\r\n");
    writeText(file, pairCode);
    writeText(file, "\r\n");
    writeText(file, netBuffer);
    CloseHandle(file);
    return 1;
}

// path (MAX_PATH bytes): folder, a backslash unless it ends with one, name.
static int joinPath(char* path, const char* folder, const char* name)
{
    int length = lstrlenA(folder);
    if (!length || length + 1 + lstrlenA(name) >= MAX_PATH)
        return 0;
    wsprintfA(path, folder[length - 1] == '\\' ? "%s%s" : "%s\\%s", folder, name);
    return 1;
}

// Since Windows Vista only administrators may create files in C:\, so the
// report may go to a folder of the product in the user's local application
// data instead, and failing that to the temporary folder. Returns 0 when no
// report could be written; path (MAX_PATH bytes) names the file written.
static int writeFailureReport(char* path)
{
    char folder[MAX_PATH];
    char productFolder[MAX_PATH];
    lstrcpyA(path, firstReportPath);
    if (writeReportTo(path))
        return 1;
    if (SUCCEEDED(SHGetFolderPathA(0, CSIDL_LOCAL_APPDATA | CSIDL_FLAG_CREATE, 0, SHGFP_TYPE_CURRENT, folder))
        && joinPath(productFolder, folder, productName)
        && (CreateDirectoryA(productFolder, 0) || GetLastError() == ERROR_ALREADY_EXISTS)
        && joinPath(path, productFolder, reportName) && writeReportTo(path))
        return 1;
    DWORD length = GetTempPathA(sizeof folder, folder);
    return length && length < sizeof folder && joinPath(path, folder, reportName) && writeReportTo(path);
}

// The report is written first, so that the box can name the file that
// holds it, or say that there is none to send.
static int reportInvalidPage(const char* tag)
{
    char path[MAX_PATH];
    if (!writeFailureReport(path))
        reportError(IDS_INVALID_PAGE_NO_REPORT, tag);
    else if (lstrcmpA(path, firstReportPath) == 0)
        reportError(IDS_INVALID_PAGE, tag, supportAddress);
    else
        reportError(IDS_INVALID_PAGE_REPORT_ELSEWHERE, tag, supportAddress, path);
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
