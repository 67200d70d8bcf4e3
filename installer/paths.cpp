#include "paths.h"
#include <shlobj.h>

int isSeparator(char c)
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
    if (!isSeparator(*CharPrevA(path, path + n))) {
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
        if (isSeparator(*c))
            result = c + 1;
    return result;
}

int resolveSpecialFolder(HWND owner, int folder, char* buffer)
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
