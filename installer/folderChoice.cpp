#include "folderChoice.h"
#include "installState.h"
#include "setupGlobals.h"
#include "setupMessages.h"
#include "pageHelpers.h"
#include "resources/resource.h"
#include <shlobj.h>

static void ReadInstalledPath(char* buffer)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, appPathsKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return;
    char value[PATH_SIZE];
    DWORD size = sizeof value;
    DWORD type = 0;
    LONG result = RegQueryValueExA(key, "Path", 0, &type, (BYTE*)value, &size);
    RegCloseKey(key);
    // A value stored without its zero gets one; one that fills the buffer
    // without it would be cut and name another folder, so it is no proposal.
    if (result == ERROR_SUCCESS && type == REG_SZ && (size < sizeof value || !value[sizeof value - 1])) {
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
    JoinPath(buffer, buffer, productName);
}

void TakeTypedFolder(HWND page, InstallState* state)
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
    state->inPlace = IsSameFolder(state->installFolder, state->setupFolder);
    state->filesInstalled = 0;
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
    InstallState* state = PageState(page);
    switch (header->code) {
    case PSN_SETACTIVE:
        SetDlgItemTextA(page, IDC_FOLDER, state->installFolder);
        SetWizardButtons(page, PSWIZB_BACK | PSWIZB_NEXT);
        return FALSE;
    case PSN_WIZNEXT:
    case PSN_WIZBACK:
        TakeTypedFolder(page, state);
        return TRUE;
    }
    return FALSE;
}

INT_PTR CALLBACK FolderPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        KeepPageState(page, lParam);
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
