#include "folderSafety.h"
#include "folderChoice.h"
#include "installState.h"
#include "resources/resource.h"
#include <shlobj.h>

// The longest file name that is put after the installation folder.
static const char longestInstalledName[] = "Readme.txt";

// Folders that hold what the user cannot expect to lose by emptying them,
// or anything that contains one of them.
static const int protectedFolders[] = {
    CSIDL_WINDOWS, CSIDL_SYSTEM, CSIDL_SYSTEMX86, CSIDL_PROGRAM_FILES, CSIDL_PROGRAM_FILESX86,
    CSIDL_PROFILE, CSIDL_DESKTOPDIRECTORY, CSIDL_PERSONAL, CSIDL_MYPICTURES, CSIDL_MYMUSIC,
    CSIDL_MYVIDEO, CSIDL_FAVORITES, CSIDL_APPDATA, CSIDL_LOCAL_APPDATA, CSIDL_STARTMENU,
    CSIDL_PROGRAMS, CSIDL_COMMON_DESKTOPDIRECTORY, CSIDL_COMMON_DOCUMENTS, CSIDL_COMMON_APPDATA,
    CSIDL_COMMON_STARTMENU, CSIDL_COMMON_PROGRAMS,
};
// Where a 32-bit process is not told of the 64-bit system's own folders.
static const char* const protectedVariables[] = { "ProgramW6432", "ProgramFiles", "SystemRoot" };

static int isSeparator(char c)
{
    return c == '\\' || c == '/';
}

// A drive path ("C:\...") or a share path ("\\server\share\..."); nothing
// that the system would resolve against the current drive or folder, and
// no character that a folder name cannot hold.
static int namesPossibleFolder(const char* folder)
{
    int length = lstrlenA(folder);
    if (length < 3 || !isSeparator(folder[length - 1])
        || length + lstrlenA(longestInstalledName) >= PATH_SIZE)
        return 0;
    int drive = ((folder[0] | 0x20) >= 'a' && (folder[0] | 0x20) <= 'z') && folder[1] == ':'
        && isSeparator(folder[2]);
    int share = isSeparator(folder[0]) && isSeparator(folder[1]) && !isSeparator(folder[2])
        && folder[2] != '?' && folder[2] != '.';
    if (!drive && !share)
        return 0;
    for (const char* c = folder; *c; c = CharNextA(c)) {
        unsigned char byte = (unsigned char)*c;
        if (byte < 32 || (byte == ':' && c != folder + 1) || byte == '*' || byte == '?'
            || byte == '"' || byte == '<' || byte == '>' || byte == '|')
            return 0;
    }
    return 1;
}

// The folder as the system resolves it: full, with "." and ".." applied,
// long names, backslashes, and one trailing backslash.
static int systemFolderPath(const char* folder, char* full)
{
    DWORD length = GetFullPathNameA(folder, PATH_SIZE, full, 0);
    if (!length || length >= PATH_SIZE - 1)
        return 0;
    char longName[PATH_SIZE];
    length = GetLongPathNameA(full, longName, PATH_SIZE);
    if (length && length < PATH_SIZE - 1)
        lstrcpyA(full, longName);
    return AddTrailingSeparator(full) != 0;
}

// The length of the root part: "C:\" or "\\server\share\".
static int rootLength(const char* full)
{
    if (full[1] == ':')
        return 3;
    int separators = 0;
    for (const char* c = full; *c; c = CharNextA(c))
        if (isSeparator(*c) && ++separators == 4)
            return (int)(c - full) + 1;
    return lstrlenA(full);
}

// 1 when inner is outer or lies inside it; both full, with trailing backslashes.
static int isSameOrInside(const char* inner, const char* outer)
{
    int length = lstrlenA(outer);
    return lstrlenA(inner) >= length
        && CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, inner, length, outer, length)
        == CSTR_EQUAL;
}

static int containsProtectedFolder(const char* target)
{
    char path[PATH_SIZE];
    char full[PATH_SIZE];
    for (int folder : protectedFolders)
        if (resolveSpecialFolder(0, folder, path) && systemFolderPath(path, full)
            && isSameOrInside(full, target))
            return 1;
    for (const char* name : protectedVariables) {
        DWORD length = GetEnvironmentVariableA(name, path, PATH_SIZE);
        if (length && length < PATH_SIZE && systemFolderPath(path, full) && isSameOrInside(full, target))
            return 1;
    }
    return 0;
}

int checkInstallFolder(HWND owner, const InstallState* state)
{
    char target[PATH_SIZE];
    char source[PATH_SIZE];
    if (!namesPossibleFolder(state->installFolder) || !systemFolderPath(state->installFolder, target)) {
        ShowTableError(owner, IDS_FOLDER_INVALID);
        return 0;
    }
    if (lstrlenA(target) <= rootLength(target)) {
        ShowTableError(owner, IDS_DRIVE_ROOT);
        return 0;
    }
    if (containsProtectedFolder(target)) {
        ShowTableError(owner, IDS_FOLDER_PROTECTED, state->installFolder);
        return 0;
    }
    // Emptying a folder that holds setup's own would delete the files to be
    // copied; copying into a folder inside it would copy into itself. The
    // in-place case never gets here.
    if (systemFolderPath(state->setupFolder, source)
        && (isSameOrInside(source, target) || isSameOrInside(target, source))) {
        ShowTableError(owner, IDS_FOLDER_HOLDS_SETUP, state->installFolder);
        return 0;
    }
    return 1;
}
