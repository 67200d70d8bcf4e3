#include "installSteps.h"
#include "fileOperationBatch.h"
#include "folderPermissions.h"
#include "folderSafety.h"
#include "installState.h"
#include "linksStep.h"
#include "paths.h"
#include "setupMessages.h"
#include "shippedFiles.h"
#include "setupGlobals.h"
#include "statusControl.h"
#include "resources/resource.h"

enum { MESSAGE_SIZE = 1024 };

// ERROR_SUCCESS, or the registry's error code. A null name writes the key's
// default value.
static LONG WriteNamedValue(HKEY root, const char* subkey, const char* name, const char* text)
{
    HKEY key;
    LONG result = RegCreateKeyExA(root, subkey, 0, 0, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, 0, &key, 0);
    if (result != ERROR_SUCCESS)
        return result;
    if (text)
        result = RegSetValueExA(key, name, 0, REG_SZ, (const BYTE*)text, lstrlenA(text) + 1);
    RegCloseKey(key);
    return result;
}

static LONG WriteDefaultValue(HKEY root, const char* subkey, const char* text)
{
    return WriteNamedValue(root, subkey, 0, text);
}

// The row's cross shows before the box that says why (message 0: the
// shell has said it).
static int failRow(HWND page, int row, HWND sheet, UINT message, const char* folder)
{
    SetStepState(page, row, STEP_FAILED);
    if (message)
        ShowTableError(sheet, message, folder);
    return 0;
}

// Row 0: refuses what must not be emptied, then empties an existing folder.
// From here on the installation works in the folder as the check saw it.
static int emptyInstallFolder(InstallState* state, HWND sheet, HWND page)
{
    char target[PATH_SIZE];
    UINT refusal = RefusalOfFolder(state, target);
    if (refusal)
        return failRow(page, ROW_EMPTY, sheet, refusal, state->installFolder);
    lstrcpyA(state->installFolder, target);
    char work[PATH_SIZE];
    lstrcpyA(work, target);
    work[lstrlenA(work) - 1] = 0;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(work, &found);
    if (search == INVALID_HANDLE_VALUE) {
        // An existing folder whose parent cannot be listed is not one that
        // setup may empty.
        DWORD attributes = GetFileAttributesA(work);
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
            return failRow(page, ROW_EMPTY, sheet, IDS_FOLDER_UNLISTED, state->installFolder);
        if (attributes == INVALID_FILE_ATTRIBUTES && !MakeInstallFolder(work))
            return failRow(page, ROW_EMPTY, sheet, IDS_FOLDER_NOT_MADE, state->installFolder);
        return 1;
    }
    FindClose(search);
    FileOperationBatch emptying;
    // FOF_WANTNUKEWARNING: what cannot go to the Recycle Bin is only deleted
    // for good once the user agreed; a No leaves files behind, which fails
    // the step whether or not the shell reports it.
    if (!JoinPath(work, target, "*.*") || !emptying.Append(SOURCE_LIST, work)
        || !emptying.Run(sheet, FO_DELETE, FOF_NOCONFIRMATION | FOF_ALLOWUNDO | FOF_WANTNUKEWARNING)
        || !FolderIsEmpty(target))
        return failRow(page, ROW_EMPTY, sheet, 0, 0);
    return 1;
}

// Whether every file below source has arrived below target with its size:
// the shell of some systems reports success for a copy that skipped a file
// that another program held open. Wide names, so that a file named outside
// the code page is looked up under its own name.
static int copiedCompletely(const WCHAR* source, const WCHAR* target)
{
    WCHAR path[PATH_SIZE];
    WIN32_FIND_DATAW found;
    if (!JoinPath(path, source, L"*.*"))
        return 0;
    // A source that cannot be listed proves nothing arrived.
    HANDLE search = FindFirstFileW(path, &found);
    if (search == INVALID_HANDLE_VALUE)
        return 0;
    int complete = 1;
    do {
        if (!lstrcmpW(found.cFileName, L".") || !lstrcmpW(found.cFileName, L".."))
            continue;
        WCHAR from[PATH_SIZE];
        WCHAR to[PATH_SIZE];
        WIN32_FILE_ATTRIBUTE_DATA copy;
        if (!JoinPath(from, source, found.cFileName) || !JoinPath(to, target, found.cFileName)
            || !GetFileAttributesExW(to, GetFileExInfoStandard, &copy))
            complete = 0;
        else if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            complete = (copy.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && copiedCompletely(from, to);
        else
            complete = copy.nFileSizeLow == found.nFileSizeLow && copy.nFileSizeHigh == found.nFileSizeHigh;
    } while (complete && FindNextFileW(search, &found));
    FindClose(search);
    return complete;
}

static int copyProgramFiles(const InstallState* state, HWND sheet, HWND page)
{
    char source[PATH_SIZE];
    FileOperationBatch copying;
    if (!JoinPath(source, state->setupFolder, "*.*") || !copying.Append(SOURCE_LIST, source)
        || !copying.Append(TARGET_LIST, state->installFolder)
        || !copying.Run(sheet, FO_COPY, FOF_NOCONFIRMATION | FOF_NOCONFIRMMKDIR))
        return failRow(page, ROW_COPY, sheet, 0, 0);
    WCHAR from[PATH_SIZE];
    WCHAR to[PATH_SIZE];
    if (!MultiByteToWideChar(CP_ACP, 0, state->setupFolder, -1, from, PATH_SIZE)
        || !MultiByteToWideChar(CP_ACP, 0, state->installFolder, -1, to, PATH_SIZE)
        || !copiedCompletely(from, to))
        return failRow(page, ROW_COPY, sheet, IDS_COPY_INCOMPLETE, state->installFolder);
    return 1;
}

// The record that names the program and its folder for the system and for
// setup's next run; a failure shows on the links row and is told, with the
// system's reason.
static int recordInstallation(const InstallState* state, HWND sheet, HWND page, const char* program)
{
    LONG result = WriteDefaultValue(HKEY_LOCAL_MACHINE, appPathsKey, program);
    if (result == ERROR_SUCCESS)
        result = WriteNamedValue(HKEY_LOCAL_MACHINE, appPathsKey, "Path", state->installFolder);
    if (result == ERROR_SUCCESS)
        return 1;
    char reason[MESSAGE_SIZE];
    if (!FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, 0, result, 0, reason,
                        sizeof reason, 0))
        wsprintfA(reason, "%ld", result);
    // The system's text ends in a line break that the box does not need.
    for (int end = lstrlenA(reason); end > 0 && (reason[end - 1] == '\r' || reason[end - 1] == '\n');)
        reason[--end] = 0;
    SetStepState(page, ROW_LINKS, STEP_FAILED);
    ShowTableError(sheet, IDS_RECORD_FAILED, appPathsKey, reason);
    return 0;
}

int RunInstallation(InstallState* state, HWND sheet, HWND page)
{
    if (state->filesInstalled) {
        // An earlier try got as far as the links: the folder is not emptied
        // and copied again; the links and the record are.
        SetStepState(page, ROW_EMPTY, STEP_DONE);
        SetStepState(page, ROW_COPY, STEP_DONE);
    } else if (!state->inPlace) {
        SetStepState(page, ROW_EMPTY, STEP_RUNNING);
        if (!emptyInstallFolder(state, sheet, page))
            return 0;
        SetStepState(page, ROW_EMPTY, STEP_DONE);
        SetStepState(page, ROW_COPY, STEP_RUNNING);
        if (!copyProgramFiles(state, sheet, page))
            return 0;
        SetStepState(page, ROW_COPY, STEP_DONE);
        state->filesInstalled = 1;
    }
    SetStepState(page, ROW_LINKS, STEP_RUNNING);
    // Only a folder that setup runs from in place can be too long here, or
    // lack the program that the links and the record name.
    char program[PATH_SIZE];
    if (!JoinPath(program, state->installFolder, PROGRAM_FILE))
        return failRow(page, ROW_LINKS, sheet, IDS_FOLDER_TOO_LONG, state->installFolder);
    if (state->inPlace && GetFileAttributesA(program) == INVALID_FILE_ATTRIBUTES)
        return failRow(page, ROW_LINKS, sheet, IDS_PROGRAM_MISSING, state->installFolder);
    SetStepState(page, ROW_LINKS, CreateLinks(sheet, state) ? STEP_DONE : STEP_FAILED);
    return recordInstallation(state, sheet, page, program);
}
