#include "folderChoice.h"
#include "installState.h"
#include "wizardPages.h"
#include "resources/resource.h"
#include <shlobj.h>

const char appPathsKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Quorv.exe";

static int isSeparator(char c)
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

void ReadInstalledPath(char* buffer)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, appPathsKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return;
    char value[PATH_SIZE];
    DWORD size = sizeof value;
    DWORD type = 0;
    LONG result = RegQueryValueExA(key, "Path", 0, &type, (BYTE*)value, &size);
    RegCloseKey(key);
    // A value stored without its zero, or filling the buffer, is cut to fit.
    if (result == ERROR_SUCCESS && type == REG_SZ) {
        value[size < sizeof value ? size : sizeof value - 1] = 0;
        lstrcpyA(buffer, value);
    }
}

void GetDefaultInstallFolder(char* buffer)
{
    buffer[0] = 0;
    ReadInstalledPath(buffer);
    if (buffer[0])
        return;
    GetWindowsDirectoryA(buffer, PATH_SIZE);
    *FileNamePart(buffer) = 0;
    lstrcatA(buffer, productName);
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

void takeTypedFolder(HWND page, InstallState* state)
{
    char typed[PATH_SIZE];
    GetDlgItemTextA(page, IDC_FOLDER, typed, PATH_SIZE);
    // Blanks around the path, and the quotes that a path copied from
    // Explorer comes in, are not part of the folder's name.
    char* start = typed;
    while (*start == ' ' || *start == '\t')
        ++start;
    int length = lstrlenA(start);
    while (length > 0 && (start[length - 1] == ' ' || start[length - 1] == '\t'))
        start[--length] = 0;
    if (length >= 2 && start[0] == '"' && start[length - 1] == '"') {
        start[length - 1] = 0;
        ++start;
    }
    lstrcpyA(state->installFolder, start);
    for (char* c = state->installFolder; *c; ++c)
        if (*c == '/')
            *c = '\\';
    AddTrailingSeparator(state->installFolder);
    state->inPlace = lstrcmpiA(state->installFolder, state->setupFolder) == 0;
}

static void browseForFolder(HWND page)
{
    char title[PATH_SIZE];
    if (!LoadStringA(instanceHandle, IDS_BROWSE_TITLE, title, sizeof title))
        title[0] = 0;
    BROWSEINFOA browse = {};
    browse.hwndOwner = page;
    browse.lpszTitle = title;
    browse.ulFlags = BIF_RETURNONLYFSDIRS;
    LPITEMIDLIST items = SHBrowseForFolderA(&browse);
    if (!items)
        return;
    char path[PATH_SIZE];
    if (SHGetPathFromIDListA(items, path))
        SetDlgItemTextA(page, IDC_FOLDER, path);
    CoTaskMemFree(items);
}

static INT_PTR folderPageNotify(HWND page, NMHDR* header)
{
    InstallState* state = pageState(page);
    switch (header->code) {
    case PSN_SETACTIVE:
        SetDlgItemTextA(page, IDC_FOLDER, state->installFolder);
        setWizardButtons(page, PSWIZB_BACK | PSWIZB_NEXT);
        return FALSE;
    case PSN_WIZNEXT:
    case PSN_WIZBACK:
        takeTypedFolder(page, state);
        return TRUE;
    }
    return FALSE;
}

INT_PTR CALLBACK folderPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        keepPageState(page, lParam);
        return FALSE;
    case WM_NOTIFY:
        return folderPageNotify(page, (NMHDR*)lParam);
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_CHANGE_FOLDER)
            browseForFolder(page);
        return FALSE;
    }
    return FALSE;
}
