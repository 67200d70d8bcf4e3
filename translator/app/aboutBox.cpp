#include "aboutBox.h"
#include "appState.h"
#include "resource.h"
#include "textsAndMessages.h"

// wsprintfA writes up to 1,024 bytes.
enum { VERSION_TEXT_SIZE = 256, FORMATTED_SIZE = 1024 };

void showAboutBox(HWND owner)
{
    DialogBoxParamA(instanceHandle, MAKEINTRESOURCEA(IDD_ABOUT), owner, aboutBoxProc, 0);
}

// A string of the version block's first language, or null.
static const char* versionString(void* block, const char* prefix, const char* name)
{
    char path[VERSION_TEXT_SIZE];
    wsprintfA(path, "%s%s", prefix, name);
    char* value = 0;
    UINT length = 0;
    if (!VerQueryValueA(block, path, (void**)&value, &length) || !length || !value)
        return 0;
    return value;
}

// Formats the control's own text, a template, with up to two values.
static void fillTemplate(HWND dialog, int id, const char* first, const char* second)
{
    char format[VERSION_TEXT_SIZE];
    char text[FORMATTED_SIZE];
    GetDlgItemTextA(dialog, id, format, sizeof format);
    wsprintfA(text, format, first, second);
    SetDlgItemTextA(dialog, id, text);
}

void fillVersionTexts(HWND dialog)
{
    char path[VERSION_TEXT_SIZE];
    GetModuleFileNameA(instanceHandle, path, sizeof path);
    DWORD handle;
    DWORD size = GetFileVersionInfoSizeA(path, &handle);
    if (!size)
        return;
    void* block = GlobalAlloc(GMEM_FIXED, size);
    if (!block)
        return;
    WORD* translation = 0;
    UINT length = 0;
    if (GetFileVersionInfoA(path, 0, size, block)
        && VerQueryValueA(block, "\\VarFileInfo\\Translation", (void**)&translation, &length)
        && length >= 2 * sizeof(WORD)) {
        char prefix[64];
        wsprintfA(prefix, "\\StringFileInfo\\%08lX\\", (unsigned long)translation[0] * 65536 + translation[1]);
        const char* version = versionString(block, prefix, "FileVersion");
        if (version)
            fillTemplate(dialog, IDC_VERSION_LINE, version, 0);
        const char* copyright = versionString(block, prefix, "LegalCopyright");
        if (copyright) {
            char copyrightLine[VERSION_TEXT_SIZE];
            lstrcpynA(copyrightLine, copyright, sizeof copyrightLine);
            const char* company = versionString(block, prefix, "CompanyName");
            if (company)
                fillTemplate(dialog, IDC_COPYRIGHT_LINE, copyrightLine, company);
        }
    }
    GlobalFree(block);
}

void centerOverParent(HWND window)
{
    RECT own;
    RECT parent;
    GetWindowRect(window, &own);
    GetWindowRect(GetParent(window), &parent);
    HDC context = GetDC(window);
    int screenWidth = GetDeviceCaps(context, HORZRES);
    int screenHeight = GetDeviceCaps(context, VERTRES);
    ReleaseDC(window, context);

    int width = own.right - own.left;
    int height = own.bottom - own.top;
    int x = parent.left + (parent.right - parent.left - width) / 2;
    int y = parent.top + (parent.bottom - parent.top - height) / 2;
    if (x < 0)
        x = 0;
    else if (x + width > screenWidth)
        x = screenWidth - width;
    if (y < 0)
        y = 0;
    else if (y + height > screenHeight)
        y = screenHeight - height;
    SetWindowPos(window, 0, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

static void initAboutBox(HWND dialog)
{
    SetDlgItemTextA(dialog, IDC_ADDRESS_LINE, supportAddress);
    fillVersionTexts(dialog);
    centerOverParent(dialog);
}

static void onAboutCommand(HWND dialog, int id)
{
    switch (id) {
    case IDOK:
    case IDCANCEL:
        EndDialog(dialog, 1);
        break;
    case IDC_WEBSITE:
        ShellExecuteA(dialog, 0, contactPage, 0, 0, SW_SHOWNORMAL);
        break;
    case IDC_EMAIL: {
        char address[260];
        wsprintfA(address, "mailto:%s", supportAddress);
        ShellExecuteA(dialog, 0, address, 0, 0, SW_SHOWNORMAL);
        break;
    }
    }
}

INT_PTR CALLBACK aboutBoxProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        initAboutBox(dialog);
        break;
    case WM_COMMAND:
        onAboutCommand(dialog, LOWORD(wParam));
        break;
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSTATIC:
        return (INT_PTR)GetSysColorBrush(COLOR_WINDOW);
    }
    return FALSE;
}
