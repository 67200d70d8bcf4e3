#include "installSteps.h"
#include "fileOperationBatch.h"
#include "folderSafety.h"
#include "installState.h"
#include "paths.h"
#include "setupMessages.h"
#include "setupState.h"
#include "shortcutWriter.h"
#include "statusControl.h"
#include "resources/resource.h"

static void writeValue(HKEY root, const char* subkey, const char* name, const char* text)
{
    HKEY key;
    if (RegCreateKeyExA(root, subkey, 0, 0, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, 0, &key, 0)
        != ERROR_SUCCESS)
        return;
    if (text)
        RegSetValueExA(key, name, 0, REG_SZ, (const BYTE*)text, lstrlenA(text) + 1);
    RegCloseKey(key);
}

void WriteDefaultValue(HKEY root, const char* subkey, const char* text)
{
    writeValue(root, subkey, 0, text);
}

void WriteNamedValue(HKEY root, const char* subkey, const char* name, const char* text)
{
    writeValue(root, subkey, name, text);
}

// Row 0: refuses what must not be emptied, then empties an existing folder.
// From here on the installation works in the folder as the check saw it.
static int emptyInstallFolder(InstallState* state, HWND sheet)
{
    char target[PATH_SIZE];
    if (!checkInstallFolder(sheet, state, target))
        return 0;
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
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
            ShowTableError(sheet, IDS_FOLDER_PROTECTED, state->installFolder);
            return 0;
        }
        return 1;
    }
    FindClose(search);
    if (!JoinPath(work, target, "*.*"))
        return 0;
    FileOperationBatch emptying;
    // FOF_WANTNUKEWARNING: what cannot go to the Recycle Bin is only deleted
    // for good once the user agreed; a No leaves files behind, which fails
    // the step whether or not the shell reports it.
    return emptying.Append(SOURCE_LIST, work)
        && emptying.Run(sheet, FO_DELETE, FOF_NOCONFIRMATION | FOF_ALLOWUNDO | FOF_WANTNUKEWARNING)
        && FolderIsEmpty(target);
}

// Joins folder (with its trailing backslash) and name; 0 when it would not fit.
static int joinWidePath(WCHAR* path, const WCHAR* folder, const WCHAR* name)
{
    if (lstrlenW(folder) + lstrlenW(name) + 2 > PATH_SIZE)
        return 0;
    lstrcpyW(path, folder);
    lstrcatW(path, name);
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
    if (!joinWidePath(path, source, L"*.*"))
        return 0;
    HANDLE search = FindFirstFileW(path, &found);
    if (search == INVALID_HANDLE_VALUE)
        return 1;
    int complete = 1;
    do {
        if (!lstrcmpW(found.cFileName, L".") || !lstrcmpW(found.cFileName, L".."))
            continue;
        WCHAR from[PATH_SIZE];
        WCHAR to[PATH_SIZE];
        WIN32_FILE_ATTRIBUTE_DATA copy;
        if (!joinWidePath(from, source, found.cFileName) || !joinWidePath(to, target, found.cFileName)
            || !GetFileAttributesExW(to, GetFileExInfoStandard, &copy))
            complete = 0;
        else if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            complete = (copy.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && lstrlenW(from) + 2 <= PATH_SIZE
                && lstrlenW(to) + 2 <= PATH_SIZE && lstrcatW(from, L"\\") && lstrcatW(to, L"\\")
                && copiedCompletely(from, to);
        else
            complete = copy.nFileSizeLow == found.nFileSizeLow && copy.nFileSizeHigh == found.nFileSizeHigh;
    } while (complete && FindNextFileW(search, &found));
    FindClose(search);
    return complete;
}

static int copyProgramFiles(const InstallState* state, HWND sheet)
{
    char source[PATH_SIZE];
    FileOperationBatch copying;
    if (!JoinPath(source, state->setupFolder, "*.*") || !copying.Append(SOURCE_LIST, source)
        || !copying.Append(TARGET_LIST, state->installFolder)
        || !copying.Run(sheet, FO_COPY, FOF_NOCONFIRMATION | FOF_NOCONFIRMMKDIR))
        return 0;
    WCHAR from[PATH_SIZE];
    WCHAR to[PATH_SIZE];
    if (!MultiByteToWideChar(CP_ACP, 0, state->setupFolder, -1, from, PATH_SIZE)
        || !MultiByteToWideChar(CP_ACP, 0, state->installFolder, -1, to, PATH_SIZE)
        || !copiedCompletely(from, to)) {
        ShowTableError(sheet, IDS_COPY_INCOMPLETE, state->installFolder);
        return 0;
    }
    return 1;
}

int RunInstallation(InstallState* state, HWND sheet, HWND page)
{
    if (!state->inPlace) {
        SetStepState(page, ROW_EMPTY, STEP_RUNNING);
        if (!emptyInstallFolder(state, sheet)) {
            SetStepState(page, ROW_EMPTY, STEP_FAILED);
            return 0;
        }
        SetStepState(page, ROW_EMPTY, STEP_DONE);
        SetStepState(page, ROW_COPY, STEP_RUNNING);
        if (!copyProgramFiles(state, sheet)) {
            SetStepState(page, ROW_COPY, STEP_FAILED);
            return 0;
        }
        SetStepState(page, ROW_COPY, STEP_DONE);
    }
    SetStepState(page, ROW_LINKS, STEP_RUNNING);
    SetStepState(page, ROW_LINKS, CreateLinks(sheet, state) ? STEP_DONE : STEP_FAILED);

    char program[PATH_SIZE];
    if (!JoinPath(program, state->installFolder, "Quorv.exe"))
        return 0;
    WriteDefaultValue(HKEY_LOCAL_MACHINE, appPathsKey, program);
    WriteNamedValue(HKEY_LOCAL_MACHINE, appPathsKey, "Path", state->installFolder);
    return 1;
}
