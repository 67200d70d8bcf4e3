#include "folderSafety.h"
#include "installState.h"
#include "paths.h"
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
// Folders whose every subfolder belongs to Windows or to shared components.
static const int enclosingFolders[] = {
    CSIDL_WINDOWS, CSIDL_PROGRAM_FILES_COMMON, CSIDL_PROGRAM_FILES_COMMONX86,
};
static const char* const enclosingVariables[] = { "SystemRoot", "CommonProgramW6432", "CommonProgramFiles" };
static const char profileListKey[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList";

// A drive path ("C:\...") or a share path ("\\server\share\..."); nothing
// that the system would resolve against the current drive or folder, and
// no character that a folder name cannot hold.
static int namesPossibleFolder(const char* folder)
{
    int length = lstrlenA(folder);
    if (length < 3 || !isSeparator(folder[length - 1]))
        return 0;
    int drive = ((folder[0] | 0x20) >= 'a' && (folder[0] | 0x20) <= 'z') && folder[1] == ':'
        && isSeparator(folder[2]);
    int share = isSeparator(folder[0]) && isSeparator(folder[1]) && !isSeparator(folder[2])
        && folder[2] != '?' && folder[2] != '.';
    if (!drive && !share)
        return 0;
    const char* part = folder;
    for (const char* c = folder; *c; c = CharNextA(c)) {
        unsigned char byte = (unsigned char)*c;
        if (byte < 32 || (byte == ':' && c != folder + 1) || byte == '*' || byte == '?'
            || byte == '"' || byte == '<' || byte == '>' || byte == '|')
            return 0;
        if (isSeparator(*c)) {
            // The system drops a part's trailing dots and blanks, so such a
            // name is not the folder that would be emptied; "." and ".."
            // themselves are resolved like any path.
            int length = (int)(c - part);
            int dots = (length == 1 && part[0] == '.') || (length == 2 && part[0] == '.' && part[1] == '.');
            if (length > 0 && !dots && (c[-1] == '.' || c[-1] == ' '))
                return 0;
            part = c + 1;
        }
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
    // An existing folder whose long name does not fit is no folder that
    // setup can work in under its short name either.
    char longName[PATH_SIZE];
    length = GetLongPathNameA(full, longName, PATH_SIZE);
    if (length >= PATH_SIZE - 1)
        return 0;
    if (length)
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

// 1 when inner is outer or lies inside it; both full, with trailing
// backslashes. Compared as the file system compares names: letter case
// aside, byte for byte, with no language rules that pass over hyphens.
static int isSameOrInside(const char* inner, const char* outer)
{
    int length = lstrlenA(outer);
    if (lstrlenA(inner) < length)
        return 0;
    char innerUpper[PATH_SIZE];
    char outerUpper[PATH_SIZE];
    lstrcpynA(innerUpper, inner, length + 1);
    lstrcpyA(outerUpper, outer);
    CharUpperBuffA(innerUpper, length);
    CharUpperBuffA(outerUpper, length);
    return memcmp(innerUpper, outerUpper, length) == 0;
}

// A folder named by a value that may hold %variables%, in its full form.
static int expandedFolder(const char* value, char* full)
{
    char expanded[PATH_SIZE];
    DWORD length = ExpandEnvironmentStringsA(value, expanded, PATH_SIZE);
    return length && length <= PATH_SIZE && expanded[0] && systemFolderPath(expanded, full);
}

// The registry value as text; 0 when it is missing, no text or too long.
static int readFolderValue(HKEY key, const char* name, char* full)
{
    char value[PATH_SIZE];
    DWORD size = sizeof value - 1;
    DWORD type = 0;
    if (RegQueryValueExA(key, name, 0, &type, (BYTE*)value, &size) != ERROR_SUCCESS
        || (type != REG_SZ && type != REG_EXPAND_SZ))
        return 0;
    value[size] = 0;
    return expandedFolder(value, full);
}

// Every user's profile, and the folder that holds them: emptying one would
// take another user's files too.
static int containsProfile(const char* target)
{
    HKEY list;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, profileListKey, 0, KEY_READ, &list) != ERROR_SUCCESS)
        return 0;
    char full[PATH_SIZE];
    int found = readFolderValue(list, "ProfilesDirectory", full) && isSameOrInside(full, target);
    char name[PATH_SIZE];
    for (DWORD index = 0; !found; ++index) {
        DWORD length = sizeof name;
        if (RegEnumKeyExA(list, index, name, &length, 0, 0, 0, 0) != ERROR_SUCCESS)
            break;
        HKEY profile;
        if (RegOpenKeyExA(list, name, 0, KEY_READ, &profile) != ERROR_SUCCESS)
            continue;
        found = readFolderValue(profile, "ProfileImagePath", full) && isSameOrInside(full, target);
        RegCloseKey(profile);
    }
    RegCloseKey(list);
    return found;
}

static int isProtectedFolder(const char* target)
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
    for (int folder : enclosingFolders)
        if (resolveSpecialFolder(0, folder, path) && systemFolderPath(path, full)
            && isSameOrInside(target, full))
            return 1;
    for (const char* name : enclosingVariables) {
        DWORD length = GetEnvironmentVariableA(name, path, PATH_SIZE);
        if (length && length < PATH_SIZE && systemFolderPath(path, full) && isSameOrInside(target, full))
            return 1;
    }
    return containsProfile(target);
}

// A junction or link on the way leads the emptying somewhere else than the
// spelling says, and a system folder is Windows' own whatever its name.
static int leadsElsewhere(const char* target)
{
    char part[PATH_SIZE];
    int root = rootLength(target);
    for (int end = root; target[end]; end = (int)(CharNextA(target + end) - target)) {
        if (!isSeparator(target[end]))
            continue;
        lstrcpynA(part, target, end + 1);
        DWORD attributes = GetFileAttributesA(part);
        if (attributes == INVALID_FILE_ATTRIBUTES)
            return 0;
        if (attributes & FILE_ATTRIBUTE_REPARSE_POINT)
            return 1;
        if (!target[end + 1] && (attributes & FILE_ATTRIBUTE_SYSTEM))
            return 1;
    }
    return 0;
}

typedef DWORD(WINAPI* FinalPathFunction)(HANDLE, LPSTR, DWORD, DWORD);

// The existing folder as the system finally reaches it, where the system
// can tell; 0 when it cannot or the folder does not exist.
static int resolvedFolder(const char* target, char* full)
{
    FinalPathFunction finalPath = (FinalPathFunction)(void*)GetProcAddress(
        GetModuleHandleA("kernel32.dll"), "GetFinalPathNameByHandleA");
    if (!finalPath)
        return 0;
    HANDLE folder = CreateFileA(target, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, 0,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, 0);
    if (folder == INVALID_HANDLE_VALUE)
        return 0;
    char path[PATH_SIZE];
    DWORD length = finalPath(folder, path, PATH_SIZE, 0);
    CloseHandle(folder);
    if (!length || length >= PATH_SIZE)
        return 0;
    // "\\?\C:\..." or "\\?\UNC\server\share\...".
    char plain[PATH_SIZE];
    if (!lstrcmpiA(lstrcpynA(plain, path, 9), "\\\\?\\UNC\\")) {
        lstrcpyA(plain, "\\");
        lstrcatA(plain, path + 8);
    } else if (!lstrcmpA(lstrcpynA(plain, path, 5), "\\\\?\\")) {
        lstrcpyA(plain, path + 4);
    } else {
        lstrcpyA(plain, path);
    }
    return systemFolderPath(plain, full);
}

UINT refusalOfFolder(const InstallState* state, char* target)
{
    char source[PATH_SIZE];
    char resolved[PATH_SIZE];
    if (!namesPossibleFolder(state->installFolder))
        return IDS_FOLDER_INVALID;
    // The folder as the system spells it may be longer than as typed.
    if (lstrlenA(state->installFolder) + lstrlenA(longestInstalledName) >= PATH_SIZE
        || !systemFolderPath(state->installFolder, target)
        || lstrlenA(target) + lstrlenA(longestInstalledName) >= PATH_SIZE)
        return IDS_FOLDER_TOO_LONG;
    if (lstrlenA(target) <= rootLength(target))
        return IDS_DRIVE_ROOT;
    if (isProtectedFolder(target) || leadsElsewhere(target)
        || (resolvedFolder(target, resolved) && isProtectedFolder(resolved)))
        return IDS_FOLDER_PROTECTED;
    // Emptying a folder that holds setup's own would delete the files to be
    // copied; copying into a folder inside it would copy into itself. The
    // in-place case never gets here.
    if (systemFolderPath(state->setupFolder, source)
        && (isSameOrInside(source, target) || isSameOrInside(target, source)))
        return IDS_FOLDER_HOLDS_SETUP;
    return 0;
}
