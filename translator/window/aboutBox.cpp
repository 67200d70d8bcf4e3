#include "aboutBox.h"
#include "appState.h"
#include "resource.h"
#include "textsAndMessages.h"
#include "windowLayout.h"

enum {
    VERSION_TEXT_SIZE = 256,
    // wsprintfA writes up to 1,024 bytes.
    FORMATTED_SIZE = 1024,
    // The program's own path is read into 256 bytes: a longer one is cut,
    // and the lines then keep their templates.
    MODULE_PATH_SIZE = 256,
    // Room for the sub-block prefix: 25 characters with its eight hex digits.
    PREFIX_SIZE = 64,
    MAILTO_SIZE = 260
};

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

static void fillVersionTexts(HWND dialog)
{
    char path[MODULE_PATH_SIZE];
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
        char prefix[PREFIX_SIZE];
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

static void centerOverParent(HWND window)
{
    RECT own;
    RECT parent;
    GetWindowRect(window, &own);
    GetWindowRect(GetParent(window), &parent);
    OffsetRect(&own, (parent.left + parent.right - own.left - own.right) / 2,
               (parent.top + parent.bottom - own.top - own.bottom) / 2);
    // On the main window's monitor, whole.
    moveInto(&own, workAreaNear(parent));
    SetWindowPos(window, 0, own.left, own.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

// The bullet bitmap is drawn on the dialog grey, but this box is painted in
// the window colour and a bitmap control shows its picture as it is: the
// bullets get a copy of it on the window colour.
static HBITMAP bulletPicture;

static HBITMAP bulletOnWindowColour()
{
    HBITMAP picture = (HBITMAP)LoadImageA(instanceHandle, MAKEINTRESOURCEA(IDB_BULLET), IMAGE_BITMAP, 0, 0,
                                          LR_CREATEDIBSECTION);
    BITMAP size;
    if (!picture || !GetObjectA(picture, sizeof size, &size))
        return picture;
    HDC context = CreateCompatibleDC(0);
    HGDIOBJ previous = SelectObject(context, picture);
    // The picture's top left corner is background.
    COLORREF background = GetPixel(context, 0, 0);
    COLORREF window = GetSysColor(COLOR_WINDOW);
    for (int y = 0; y < size.bmHeight; ++y)
        for (int x = 0; x < size.bmWidth; ++x)
            if (GetPixel(context, x, y) == background)
                SetPixelV(context, x, y, window);
    SelectObject(context, previous);
    DeleteDC(context);
    return picture;
}

// Gives every bitmap control of the box the picture; the pictures the
// controls loaded from the template are no longer used by anyone.
static BOOL CALLBACK setBulletPicture(HWND control, LPARAM picture)
{
    if ((GetWindowLongA(control, GWL_STYLE) & SS_TYPEMASK) != SS_BITMAP)
        return TRUE;
    HGDIOBJ replaced = (HGDIOBJ)SendMessageA(control, STM_SETIMAGE, IMAGE_BITMAP, picture);
    if (replaced && replaced != bulletPicture)
        DeleteObject(replaced);
    return TRUE;
}

static void initAboutBox(HWND dialog)
{
    bulletPicture = bulletOnWindowColour();
    if (bulletPicture)
        EnumChildWindows(dialog, setBulletPicture, (LPARAM)bulletPicture);
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
        char address[MAILTO_SIZE];
        wsprintfA(address, "mailto:%s", supportAddress);
        ShellExecuteA(dialog, 0, address, 0, 0, SW_SHOWNORMAL);
        break;
    }
    }
}

static INT_PTR CALLBACK aboutBoxProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        initAboutBox(dialog);
        break;
    case WM_COMMAND:
        onAboutCommand(dialog, LOWORD(wParam));
        break;
    case WM_DESTROY:
        EnumChildWindows(dialog, setBulletPicture, 0);
        DeleteObject(bulletPicture);
        bulletPicture = 0;
        break;
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSTATIC:
        return (INT_PTR)GetSysColorBrush(COLOR_WINDOW);
    }
    return FALSE;
}

void showAboutBox(HWND owner)
{
    DialogBoxParamA(instanceHandle, MAKEINTRESOURCEA(IDD_ABOUT), owner, aboutBoxProc, 0);
}
