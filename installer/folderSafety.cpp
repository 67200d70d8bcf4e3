#include "folderSafety.h"
#include "installState.h"
#include "paths.h"
#include "shippedFiles.h"
#include "resources/resource.h"
#include <shlobj.h>

// How a protected folder forbids a target: a target that holds it would
// empty it; a target inside it would mix with what belongs there.
enum { HOLDING = 1, INSIDE = 2 };

// Folders that hold what the user cannot expect to lose by emptying them,
// and folders whose every subfolder belongs to Windows or to shared
// components; by CSIDL, or by environment variable where a 32-bit process
// is not told of the 64-bit system's own folders.
static const struct {
    int csidl;
    const WCHAR* variable;
    int refuses;
} protectedFolders[] = {
    { CSIDL_WINDOWS, 0, HOLDING | INSIDE }, { CSIDL_SYSTEM, 0, HOLDING }, { CSIDL_SYSTEMX86, 0, HOLDING },
    { CSIDL_PROGRAM_FILES, 0, HOLDING }, { CSIDL_PROGRAM_FILESX86, 0, HOLDING }, { CSIDL_PROFILE, 0, HOLDING },
    { CSIDL_DESKTOPDIRECTORY, 0, HOLDING }, { CSIDL_PERSONAL, 0, HOLDING }, { CSIDL_MYPICTURES, 0, HOLDING },
    { CSIDL_MYMUSIC, 0, HOLDING }, { CSIDL_MYVIDEO, 0, HOLDING }, { CSIDL_FAVORITES, 0, HOLDING },
    { CSIDL_APPDATA, 0, HOLDING }, { CSIDL_LOCAL_APPDATA, 0, HOLDING }, { CSIDL_STARTMENU, 0, HOLDING },
    { CSIDL_PROGRAMS, 0, HOLDING }, { CSIDL_COMMON_DESKTOPDIRECTORY, 0, HOLDING },
    { CSIDL_COMMON_DOCUMENTS, 0, HOLDING }, { CSIDL_COMMON_APPDATA, 0, HOLDING },
    { CSIDL_COMMON_STARTMENU, 0, HOLDING }, { CSIDL_COMMON_PROGRAMS, 0, HOLDING },
    { CSIDL_PROGRAM_FILES_COMMON, 0, INSIDE }, { CSIDL_PROGRAM_FILES_COMMONX86, 0, INSIDE },
    { 0, L"ProgramW6432", HOLDING }, { 0, L"ProgramFiles", HOLDING }, { 0, L"SystemRoot", HOLDING | INSIDE },
    { 0, L"CommonProgramW6432", INSIDE }, { 0, L"CommonProgramFiles", INSIDE },
};
static const WCHAR profileListKey[] = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList";
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
static const WCHAR userShellFoldersKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";

// What the protection check learns of one folder.
enum { ABSENT = 0, FOUND = 1, UNKNOWN = -1 };

// "C:\..." or "\\server\share\...": nothing that the system would resolve
// against the current drive or folder, and no device ("\\.\") or raw
// ("\\?\") path.
static int startsWithRoot(const char* folder)
{
    char letter = folder[0] | 0x20;
    if (letter >= 'a' && letter <= 'z' && folder[1] == ':' && IsSeparator(folder[2]))
        return 1;
    return IsSeparator(folder[0]) && IsSeparator(folder[1]) && !IsSeparator(folder[2]) && folder[2] != '?'
        && folder[2] != '.';
}

// A character that no folder name holds; ":" only after the drive letter.
static int isForbidden(const char* folder, const char* c)
{
    unsigned char byte = (unsigned char)*c;
    return byte < 32 || (byte == ':' && c != folder + 1) || byte == '*' || byte == '?' || byte == '"'
        || byte == '<' || byte == '>' || byte == '|';
}

// The system drops a part's trailing dots and blanks, so such a name is not
// the folder that would be emptied; "." and ".." themselves are resolved
// like any path.
static int isAlteredPart(const char* part, int length)
{
    int dots = (length == 1 && part[0] == '.') || (length == 2 && part[0] == '.' && part[1] == '.');
    return length > 0 && !dots && (part[length - 1] == '.' || part[length - 1] == ' ');
}

static int namesPossibleFolder(const char* folder)
{
    int length = lstrlenA(folder);
    // The folder page cannot add the trailing backslash to a path that
    // fills its buffer; such a path is judged by its spelling, then found
    // too long.
    int endsAsFolder = length >= 3 && (IsSeparator(folder[length - 1]) || length >= PATH_SIZE - 1);
    if (!endsAsFolder || !startsWithRoot(folder))
        return 0;
    const char* part = folder;
    for (const char* c = folder; *c; c = CharNextA(c)) {
        if (isForbidden(folder, c))
            return 0;
        if (IsSeparator(*c)) {
            if (isAlteredPart(part, (int)(c - part)))
                return 0;
            part = c + 1;
        }
    }
    return 1;
}

// A found path in its full form; a path too long for that is a folder
// whose place setup cannot tell.
static int fullFolder(const WCHAR* path, WCHAR* full)
{
    return SystemFolderPath(path, full) ? FOUND : UNKNOWN;
}

// A folder named by a value that may hold %variables%.
static int expandedFolder(const WCHAR* value, WCHAR* full)
{
    WCHAR expanded[PATH_SIZE];
    DWORD length = ExpandEnvironmentStringsW(value, expanded, PATH_SIZE);
    if (!length || length > PATH_SIZE)
        return UNKNOWN;
    return expanded[0] ? fullFolder(expanded, full) : ABSENT;
}

// A registry value naming a folder; absent when the value is missing or no
// text.
static int readFolderValue(HKEY key, const WCHAR* name, WCHAR* full)
{
    WCHAR value[PATH_SIZE];
    DWORD size = sizeof value - sizeof(WCHAR);
    DWORD type = 0;
    LONG result = RegQueryValueExW(key, name, 0, &type, (BYTE*)value, &size);
    if (result == ERROR_MORE_DATA)
        return UNKNOWN;
    if (result != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ))
        return ABSENT;
    value[size / sizeof(WCHAR)] = 0;
    return expandedFolder(value, full);
}

static int specialFolder(const WCHAR* variable, int csidl, WCHAR* full)
{
    WCHAR path[PATH_SIZE];
    if (variable) {
        DWORD length = GetEnvironmentVariableW(variable, path, PATH_SIZE);
        if (!length)
            return ABSENT;
        return length < PATH_SIZE ? fullFolder(path, full) : UNKNOWN;
    }
    LPITEMIDLIST items = 0;
    if (FAILED(SHGetSpecialFolderLocation(0, csidl, &items)) || !items)
        return ABSENT;
    BOOL found = SHGetPathFromIDListW(items, path);
    CoTaskMemFree(items);
    return found && path[0] ? fullFolder(path, full) : ABSENT;
}

typedef HRESULT(WINAPI* KnownFolderFunction)(const GUID*, DWORD, HANDLE, WCHAR**);

// A known folder, from the system where it can name it, else from the
// user's shell folders key.
static int knownFolder(const GUID& id, WCHAR* full)
{
    KnownFolderFunction knownPath = (KnownFolderFunction)(void*)GetProcAddress(
        GetModuleHandleA("shell32.dll"), "SHGetKnownFolderPath");
    if (knownPath) {
        WCHAR* path = 0;
        int found = SUCCEEDED(knownPath(&id, 0, 0, &path)) && path ? fullFolder(path, full) : ABSENT;
        CoTaskMemFree(path);
        return found;
    }
    WCHAR name[40];
    HKEY key;
    if (!StringFromGUID2(id, name, 40)
        || RegOpenKeyExW(HKEY_CURRENT_USER, userShellFoldersKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return ABSENT;
    int found = readFolderValue(key, name, full);
    RegCloseKey(key);
    return found;
}

// Every user's profile, and the folder that holds them: emptying one would
// take another user's files too. A list that cannot be read protects all.
static int containsProfile(const WCHAR* target)
{
    HKEY list;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, profileListKey, 0, KEY_READ, &list) != ERROR_SUCCESS)
        return 1;
    WCHAR full[PATH_SIZE];
    int found = readFolderValue(list, L"ProfilesDirectory", full);
    int contains = found == UNKNOWN || (found == FOUND && IsSameOrInside(full, target));
    WCHAR name[PATH_SIZE];
    for (DWORD index = 0; !contains; ++index) {
        DWORD length = PATH_SIZE;
        if (RegEnumKeyExW(list, index, name, &length, 0, 0, 0, 0) != ERROR_SUCCESS)
            break;
        HKEY profile;
        if (RegOpenKeyExW(list, name, 0, KEY_READ, &profile) != ERROR_SUCCESS)
            continue;
        found = readFolderValue(profile, L"ProfileImagePath", full);
        contains = found == UNKNOWN || (found == FOUND && IsSameOrInside(full, target));
        RegCloseKey(profile);
    }
    RegCloseKey(list);
    return contains;
}

// Compared in UTF-16, so that a folder named outside the code page is
// protected like any other; a folder whose place setup cannot tell
// protects the target too.
static int isProtectedFolder(const char* target)
{
    WCHAR wideTarget[PATH_SIZE];
    WCHAR full[PATH_SIZE];
    if (!MultiByteToWideChar(CP_ACP, 0, target, -1, wideTarget, PATH_SIZE))
        return 1;
    for (const auto& folder : protectedFolders) {
        int found = specialFolder(folder.variable, folder.csidl, full);
        if (found == UNKNOWN || (found == FOUND && (folder.refuses & HOLDING) && IsSameOrInside(full, wideTarget))
            || (found == FOUND && (folder.refuses & INSIDE) && IsSameOrInside(wideTarget, full)))
            return 1;
    }
    for (const GUID& id : knownUserFolders) {
        int found = knownFolder(id, full);
        if (found == UNKNOWN || (found == FOUND && IsSameOrInside(full, wideTarget)))
            return 1;
    }
    return containsProfile(wideTarget);
}

// A junction or link on the way leads the emptying somewhere else than the
// spelling says, and a system folder is Windows' own whatever its name.
static int leadsElsewhere(const char* target)
{
    char part[PATH_SIZE];
    int root = RootLength(target);
    for (int end = root; target[end]; end = (int)(CharNextA(target + end) - target)) {
        if (!IsSeparator(target[end]))
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
    WithoutLongPrefix(path, plain);
    return SystemFolderPath(plain, full);
}

// 1 when the folder at place is path (full, trailing backslash) or one of
// the existing folders above it, by whatever name (a subst drive, a mapped
// share) path reaches it.
static int liesAt(const char* path, const FolderPlace* place)
{
    char part[PATH_SIZE];
    lstrcpyA(part, path);
    int root = RootLength(path);
    for (;;) {
        FolderPlace here;
        if (PlaceOf(part, &here) && IsSamePlace(&here, place))
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
    FolderPlace place;
    return IsSameOrInside(source, target) || IsSameOrInside(target, source)
        || (PlaceOf(source, &place) && liesAt(target, &place))
        || (PlaceOf(target, &place) && liesAt(source, &place));
}

UINT RefusalOfFolder(const InstallState* state, char* target)
{
    char source[PATH_SIZE];
    char resolved[PATH_SIZE];
    if (!namesPossibleFolder(state->installFolder))
        return IDS_FOLDER_INVALID;
    // The folder as the system spells it may be longer than as typed.
    if (lstrlenA(state->installFolder) + lstrlenA(LONGEST_SHIPPED_NAME) >= PATH_SIZE
        || !SystemFolderPath(state->installFolder, target)
        || lstrlenA(target) + lstrlenA(LONGEST_SHIPPED_NAME) >= PATH_SIZE)
        return IDS_FOLDER_TOO_LONG;
    if (lstrlenA(target) <= RootLength(target))
        return IDS_DRIVE_ROOT;
    if (isProtectedFolder(target) || leadsElsewhere(target)
        || (resolvedFolder(target, resolved) && isProtectedFolder(resolved)))
        return IDS_FOLDER_PROTECTED;
    // Emptying a folder that holds setup's own would delete the files to be
    // copied; copying into a folder inside it would copy into itself. The
    // in-place case never gets here. A folder of setup's that cannot be
    // resolved may be any of them.
    if (!SystemFolderPath(state->setupFolder, source) || nested(source, target))
        return IDS_FOLDER_HOLDS_SETUP;
    return 0;
}
