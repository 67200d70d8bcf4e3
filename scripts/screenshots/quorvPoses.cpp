// The windows posed for the README's pictures of Quorv.exe, run by
// scripts/take-screenshots beside the program with the local service up.
// For each pose it writes the window's geometry to pose-NAME.ready beside
// itself and waits until the script has photographed it and deleted the file.
#include "resource.h"
#include "windowDriver.h"

static void pose(const char* name, HWND window)
{
    char path[MAX_PATH];
    GetModuleFileNameA(0, path, sizeof path);
    wsprintfA(strrchr(path, '\\') + 1, "pose-%s.ready", name);
    RECT rect;
    GetWindowRect(window, &rect);
    char geometry[64];
    int length = wsprintfA(geometry, "%dx%d+%d+%d\n", (int)(rect.right - rect.left), (int)(rect.bottom - rect.top),
                           (int)rect.left, (int)rect.top);
    Sleep(500);
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, 0, CREATE_ALWAYS, 0, 0);
    DWORD written;
    WriteFile(file, geometry, length, &written, 0);
    CloseHandle(file);
    waitUntil([&] { return GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES; }, 30000);
}

int main()
{
    DrivenProgram quorv;
    if (!startProgram(&quorv, "Quorv.exe", IDC_TRANSLATE)) {
        endProgram(&quorv, 0);
        return 1;
    }
    HWND window = quorv.window;
    // Spanish, the last target that English offers.
    HWND targets = GetDlgItem(window, IDC_TO_LIST);
    SendMessageA(targets, CB_SETCURSEL, SendMessageA(targets, CB_GETCOUNT, 0, 0) - 1, 0);
    SendMessageA(window, WM_COMMAND, MAKEWPARAM(IDC_TO_LIST, CBN_SELCHANGE), (LPARAM)targets);
    // Pasted, as the tests type: the caret ends behind the text.
    SendDlgItemMessageA(window, IDC_INPUT, EM_REPLACESEL, TRUE,
                        (LPARAM) "The weather is fine today.\r\nWe are going to the beach with our friends.");
    pressButton(window, IDC_TRANSLATE);
    waitUntil([&] { return !controlText(window, IDC_RESULT).empty(); }, 10000);
    pose("main", window);
    PostMessageA(window, WM_SYSCOMMAND, IDM_ABOUT, 0);
    HWND about = waitForOwnedDialog(window, IDC_VERSION_LINE);
    if (about) {
        pose("about", about);
        PostMessageA(about, WM_COMMAND, IDOK, 0);
        waitUntil([&] { return !IsWindow(about); });
    }
    PostMessageA(window, WM_CLOSE, 0, 0);
    return endProgram(&quorv) == 0 && about ? 0 : 1;
}
