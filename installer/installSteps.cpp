#include "installSteps.h"
#include "fileOperationBatch.h"
#include "folderChoice.h"
#include "folderSafety.h"
#include "installState.h"
#include "shortcutWriter.h"
#include "statusControl.h"
#include "resources/resource.h"

enum { ROW_EMPTY = 0, ROW_COPY = 1, ROW_LINKS = 2, FORMAT_SIZE = 260, MESSAGE_SIZE = 1024 };

const char productName[] = "Quorvel";

int ShowTableMessage(HWND owner, UINT id, UINT type, va_list arguments)
{
    char format[FORMAT_SIZE];
    if (!LoadStringA(instanceHandle, id, format, sizeof format))
        return IDOK;
    char text[MESSAGE_SIZE];
    wvsprintfA(text, format, arguments);
    return MessageBoxA(owner, text, productName, type);
}

void ShowTableError(HWND owner, UINT id, ...)
{
    va_list arguments;
    va_start(arguments, id);
    ShowTableMessage(owner, id, MB_ICONHAND, arguments);
    va_end(arguments);
}

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
static int emptyInstallFolder(const InstallState* state, HWND sheet)
{
    if (!checkInstallFolder(sheet, state))
        return 0;
    char work[PATH_SIZE];
    lstrcpyA(work, state->installFolder);
    int last = lstrlenA(work) - 1;
    if (last > 0 && (work[last] == '\\' || work[last] == '/') && work[last - 1] != ':')
        work[last] = 0;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(work, &found);
    if (search == INVALID_HANDLE_VALUE) {
        // A root has no directory entry of its own: the search fails while
        // the attributes say directory.
        if (GetFileAttributesA(work) == FILE_ATTRIBUTE_DIRECTORY) {
            ShowTableError(sheet, IDS_DRIVE_ROOT);
            return 0;
        }
        return 1;
    }
    FindClose(search);
    lstrcpyA(work, state->installFolder);
    AddTrailingSeparator(work);
    lstrcatA(work, "*.*");
    FileOperationBatch emptying;
    // FOF_WANTNUKEWARNING: what cannot go to the Recycle Bin is only deleted
    // for good once the user agreed; a No fails the step.
    return emptying.Append(SOURCE_LIST, work)
        && emptying.Run(sheet, FO_DELETE, FOF_NOCONFIRMATION | FOF_ALLOWUNDO | FOF_WANTNUKEWARNING);
}

// Joins folder (with its trailing backslash) and name; 0 when it would not fit.
static int joinPath(char* path, const char* folder, const char* name)
{
    if (lstrlenA(folder) + lstrlenA(name) + 2 > PATH_SIZE)
        return 0;
    lstrcpyA(path, folder);
    lstrcatA(path, name);
    return 1;
}

// Whether every file below source has arrived below target with its size:
// the shell of some systems reports success for a copy that skipped a file
// that another program held open.
static int copiedCompletely(const char* source, const char* target)
{
    char path[PATH_SIZE];
    WIN32_FIND_DATAA found;
    if (!joinPath(path, source, "*.*"))
        return 0;
    HANDLE search = FindFirstFileA(path, &found);
    if (search == INVALID_HANDLE_VALUE)
        return 1;
    int complete = 1;
    do {
        if (!lstrcmpA(found.cFileName, ".") || !lstrcmpA(found.cFileName, ".."))
            continue;
        char from[PATH_SIZE];
        char to[PATH_SIZE];
        WIN32_FILE_ATTRIBUTE_DATA copy;
        if (!joinPath(from, source, found.cFileName) || !joinPath(to, target, found.cFileName)
            || !GetFileAttributesExA(to, GetFileExInfoStandard, &copy))
            complete = 0;
        else if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            complete = (copy.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && AddTrailingSeparator(from)
                && AddTrailingSeparator(to) && copiedCompletely(from, to);
        else
            complete = copy.nFileSizeLow == found.nFileSizeLow && copy.nFileSizeHigh == found.nFileSizeHigh;
    } while (complete && FindNextFileA(search, &found));
    FindClose(search);
    return complete;
}

static int copyProgramFiles(const InstallState* state, HWND sheet)
{
    char source[PATH_SIZE];
    lstrcpyA(source, state->setupFolder);
    AddTrailingSeparator(source);
    lstrcatA(source, "*.*");
    FileOperationBatch copying;
    if (!copying.Append(SOURCE_LIST, source) || !copying.Append(TARGET_LIST, state->installFolder)
        || !copying.Run(sheet, FO_COPY, FOF_NOCONFIRMATION | FOF_NOCONFIRMMKDIR))
        return 0;
    if (!copiedCompletely(state->setupFolder, state->installFolder)) {
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
    lstrcpyA(program, state->installFolder);
    AddTrailingSeparator(program);
    lstrcatA(program, "Quorv.exe");
    WriteDefaultValue(HKEY_LOCAL_MACHINE, appPathsKey, program);
    WriteNamedValue(HKEY_LOCAL_MACHINE, appPathsKey, "Path", state->installFolder);
    return 1;
}
