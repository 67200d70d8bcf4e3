#include "paths.h"
#include <shlobj.h>

int IsSeparator(char c)
{
    return c == '\\' || c == '/';
}

char* AddTrailingSeparator(char* path)
{
    int n = lstrlenA(path);
    if (n >= PATH_SIZE - 1)
        return 0;
    if (n == 0)
        return path;
    // Whole characters: in a double-byte code page a trail byte may have
    // the value of a backslash.
    if (!IsSeparator(*CharPrevA(path, path + n))) {
        path[n++] = '\\';
        path[n] = 0;
    }
    return path + n;
}

int JoinPath(char* path, const char* folder, const char* name)
{
    char joined[PATH_SIZE];
    lstrcpynA(joined, folder, PATH_SIZE);
    if (lstrlenA(folder) >= PATH_SIZE || !AddTrailingSeparator(joined)
        || lstrlenA(joined) + lstrlenA(name) >= PATH_SIZE)
        return 0;
    lstrcatA(joined, name);
    lstrcpyA(path, joined);
    return 1;
}

int JoinPath(WCHAR* path, const WCHAR* folder, const WCHAR* name)
{
    int length = lstrlenW(folder);
    int separator = length && folder[length - 1] != '\\' && folder[length - 1] != '/';
    if (length + separator + lstrlenW(name) >= PATH_SIZE)
        return 0;
    WCHAR joined[PATH_SIZE];
    lstrcpyW(joined, folder);
    lstrcatW(joined, separator ? L"\\" : L"");
    lstrcatW(joined, name);
    lstrcpyW(path, joined);
    return 1;
}

int FolderIsEmpty(const char* folder)
{
    char pattern[PATH_SIZE];
    WIN32_FIND_DATAA found;
    if (!JoinPath(pattern, folder, "*.*"))
        return 0;
    HANDLE search = FindFirstFileA(pattern, &found);
    if (search == INVALID_HANDLE_VALUE)
        return 1;
    int empty = 1;
    do
        empty = !lstrcmpA(found.cFileName, ".") || !lstrcmpA(found.cFileName, "..");
    while (empty && FindNextFileA(search, &found));
    FindClose(search);
    return empty;
}

char* FileNamePart(char* path)
{
    char* result = path;
    for (char* c = path; *c; c = CharNextA(c))
        if (IsSeparator(*c))
            result = c + 1;
    return result;
}

int RootLength(const char* full)
{
    if (full[1] == ':')
        return 3;
    int separators = 0;
    for (const char* c = full; *c; c = CharNextA(c))
        if (IsSeparator(*c) && ++separators == 4)
            return (int)(c - full) + 1;
    return lstrlenA(full);
}

int ResolveSpecialFolder(HWND owner, int folder, char* buffer)
{
    buffer[0] = 0;
    LPITEMIDLIST items = 0;
    if (FAILED(SHGetSpecialFolderLocation(owner, folder, &items)) || !items)
        return 0;
    BOOL found = SHGetPathFromIDListA(items, buffer);
    CoTaskMemFree(items);
    if (!found)
        buffer[0] = 0;
    return found && buffer[0];
}

int SystemFolderPath(const WCHAR* folder, WCHAR* full)
{
    DWORD length = GetFullPathNameW(folder, PATH_SIZE, full, 0);
    if (!length || length >= PATH_SIZE - 1)
        return 0;
    // An existing folder whose long name does not fit is no folder that
    // setup can work in under its short name either.
    WCHAR longName[PATH_SIZE];
    length = GetLongPathNameW(full, longName, PATH_SIZE);
    if (length >= PATH_SIZE - 1)
        return 0;
    if (length)
        lstrcpyW(full, longName);
    return JoinPath(full, full, L"");
}

int SystemFolderPath(const char* folder, char* full)
{
    WCHAR wideFolder[PATH_SIZE];
    WCHAR wideFull[PATH_SIZE];
    BOOL lossy = FALSE;
    // The code page UTF-8 converts every name, and takes no lossy flag.
    BOOL* lossyFlag = GetACP() == CP_UTF8 ? 0 : &lossy;
    return MultiByteToWideChar(CP_ACP, 0, folder, -1, wideFolder, PATH_SIZE)
        && SystemFolderPath(wideFolder, wideFull)
        && WideCharToMultiByte(CP_ACP, 0, wideFull, -1, full, PATH_SIZE, 0, lossyFlag) && !lossy;
}

// Compared as the file system compares names: letter case aside, character
// for character, with no language rules that pass over a soft hyphen or
// take one letter for two.
int IsSameOrInside(const WCHAR* inner, const WCHAR* outer)
{
    int length = lstrlenW(outer);
    if (lstrlenW(inner) < length)
        return 0;
    WCHAR innerUpper[PATH_SIZE];
    WCHAR outerUpper[PATH_SIZE];
    return LCMapStringW(LOCALE_INVARIANT, LCMAP_UPPERCASE, inner, length, innerUpper, PATH_SIZE) == length
        && LCMapStringW(LOCALE_INVARIANT, LCMAP_UPPERCASE, outer, length, outerUpper, PATH_SIZE) == length
        && memcmp(innerUpper, outerUpper, length * sizeof(WCHAR)) == 0;
}

int IsSameOrInside(const char* inner, const char* outer)
{
    WCHAR wideInner[PATH_SIZE];
    WCHAR wideOuter[PATH_SIZE];
    return MultiByteToWideChar(CP_ACP, 0, inner, -1, wideInner, PATH_SIZE)
        && MultiByteToWideChar(CP_ACP, 0, outer, -1, wideOuter, PATH_SIZE) && IsSameOrInside(wideInner, wideOuter);
}

void WithoutLongPrefix(const char* path, char* plain)
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

int PlaceOf(const char* folder, FolderPlace* place)
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
    // Index 0 is no answer: some file systems give none.
    return place->indexHigh || place->indexLow;
}

int IsSamePlace(const FolderPlace* one, const FolderPlace* other)
{
    return one->volume == other->volume && one->indexHigh == other->indexHigh && one->indexLow == other->indexLow;
}

int IsSameFolder(const char* one, const char* other)
{
    FolderPlace first;
    FolderPlace second;
    return PlaceOf(one, &first) && PlaceOf(other, &second) && IsSamePlace(&first, &second);
}
