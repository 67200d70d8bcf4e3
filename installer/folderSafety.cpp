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
// User folders that have no CSIDL: Downloads, Saved Games, Contacts, Links
// and Searches.
static const GUID knownUserFolders[] = {
    { 0x374DE290, 0x123F, 0x4565, { 0x91, 0x64, 0x39, 0xC4, 0x92, 0x5E, 0x46, 0x7B } },
    { 0x4C5C32FF, 0xBB9D, 0x43B0, { 0xB5, 0xB4, 0x2D, 0x72, 0xE5, 0x4E, 0xAA, 0xA4 } },
    { 0x56784854, 0xC6CB, 0x462B, { 0x81, 0x69, 0x88, 0xE3, 0x50, 0xAC, 0xB8, 0x82 } },
    { 0xBFB9D5E0, 0xC6A9, 0x404C, { 0xB2, 0xB2, 0xAE, 0x6D, 0xB6, 0xAF, 0x49, 0x68 } },
    { 0x7D1D3A04, 0xDEBB, 0x4115, { 0x95, 0xCF, 0x2F, 0x29, 0xDA, 0x29, 0x20, 0xDA } },
};
// Where systems without SHGetKnownFolderPath keep them, by the GUID's text.
static const char userShellFoldersKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";

// A drive path ("C:\...") or a share path ("\\server\share\..."); nothing
// that the system would resolve against the current drive or folder, and
// no character that a folder name cannot hold.
static int namesPossibleFolder(const char* folder)
{
    int length = lstrlenA(folder);
    // The folder page cannot add the trailing backslash to a path that
    // fills its buffer; such a path is judged by its spelling, then found
    // too long.
    if (length < 3 || (!isSeparator(folder[length - 1]) && length < PATH_SIZE - 1))
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

typedef HRESULT(WINAPI* KnownFolderFunction)(const GUID*, DWORD, HANDLE, WCHAR**);

// A known folder in its full form, from the system where it can name it,
// else from the user's shell folders key.
static int knownFolder(const GUID& id, char* full)
{
    KnownFolderFunction knownPath = (KnownFolderFunction)(void*)GetProcAddress(
        GetModuleHandleA("shell32.dll"), "SHGetKnownFolderPath");
    if (knownPath) {
        WCHAR* path = 0;
        char folder[PATH_SIZE];
        BOOL lossy = FALSE;
        int named = SUCCEEDED(knownPath(&id, 0, 0, &path)) && path
            && WideCharToMultiByte(CP_ACP, 0, path, -1, folder, PATH_SIZE, 0, &lossy) && !lossy;
        CoTaskMemFree(path);
        return named && systemFolderPath(folder, full);
    }
    WCHAR wideName[40];
    char name[40];
    HKEY key;
    if (!StringFromGUID2(id, wideName, 40) || !WideCharToMultiByte(CP_ACP, 0, wideName, -1, name, 40, 0, 0)
        || RegOpenKeyExA(HKEY_CURRENT_USER, userShellFoldersKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return 0;
    int found = readFolderValue(key, name, full);
    RegCloseKey(key);
    return found;
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
    for (const GUID& id : knownUserFolders)
        if (knownFolder(id, full) && isSameOrInside(full, target))
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
    char plain[PATH_SIZE];
    withoutLongPrefix(path, plain);
    return systemFolderPath(plain, full);
}

void withoutLongPrefix(const char* path, char* plain)
{
    if (!lstrcmpiA(lstrcpynA(plain, path, 9), "\\\\?\\UNC\\")) {
        lstrcpyA(plain, "\\\\");
        lstrcatA(plain, path + 8);
    } else if (!lstrcmpA(lstrcpynA(plain, path, 5), "\\\\?\\")) {
        lstrcpyA(plain, path + 4);
    } else {
        lstrcpyA(plain, path);
    }
}

// Where an existing folder is on disk, whatever it is called: the volume
// and the file index. Index 0 is no answer (some file systems give none).
struct Place {
    DWORD volume;
    DWORD indexHigh;
    DWORD indexLow;
};

static int placeOf(const char* folder, Place* place)
{
    HANDLE handle = CreateFileA(folder, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, 0,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, 0);
    if (handle == INVALID_HANDLE_VALUE)
        return 0;
    BY_HANDLE_FILE_INFORMATION information;
    int known = GetFileInformationByHandle(handle, &information);
    CloseHandle(handle);
    if (!known)
        return 0;
    place->volume = information.dwVolumeSerialNumber;
    place->indexHigh = information.nFileIndexHigh;
    place->indexLow = information.nFileIndexLow;
    return place->indexHigh || place->indexLow;
}

// 1 when the folder at place is path (full, trailing backslash) or one of
// the existing folders above it, by whatever name (a subst drive, a mapped
// share) path reaches it.
static int liesAt(const char* path, const Place* place)
{
    char part[PATH_SIZE];
    lstrcpyA(part, path);
    int root = rootLength(path);
    for (;;) {
        Place here;
        if (placeOf(part, &here) && here.volume == place->volume && here.indexHigh == place->indexHigh
            && here.indexLow == place->indexLow)
            return 1;
        int length = lstrlenA(part);
        if (length <= root)
            return 0;
        part[length - 1] = 0;
        *FileNamePart(part) = 0;
    }
}

// 1 when one folder holds the other, compared by name and, where they
// exist, by place.
static int nested(const char* source, const char* target)
{
    Place place;
    return isSameOrInside(source, target) || isSameOrInside(target, source)
        || (placeOf(source, &place) && liesAt(target, &place))
        || (placeOf(target, &place) && liesAt(source, &place));
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
    if (systemFolderPath(state->setupFolder, source) && nested(source, target))
        return IDS_FOLDER_HOLDS_SETUP;
    return 0;
}
