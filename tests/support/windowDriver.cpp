#include "windowDriver.h"

int waitUntil(const std::function<bool()>& condition, DWORD timeout)
{
    DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start > timeout)
            return 0;
        Sleep(10);
    }
    return 1;
}

struct WindowSearch {
    DWORD processId;
    int controlId;
    HWND found;
};

static BOOL CALLBACK findWindowWithControl(HWND window, LPARAM parameter)
{
    WindowSearch* search = (WindowSearch*)parameter;
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == search->processId && IsWindowVisible(window) && GetDlgItem(window, search->controlId)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

int startProgram(DrivenProgram* program, const char* file, int controlId, DWORD timeout)
{
    char path[MAX_PATH];
    GetModuleFileNameA(0, path, sizeof path);
    lstrcpyA(strrchr(path, '\\') + 1, file);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    ZeroMemory(program, sizeof *program);
    if (!CreateProcessA(path, 0, 0, 0, FALSE, 0, 0, 0, &startup, &program->process))
        return 0;
    if (!controlId)
        return 1;
    WindowSearch search = { program->process.dwProcessId, controlId, 0 };
    waitUntil([&] { return !EnumWindows(findWindowWithControl, (LPARAM)&search) && search.found; }, timeout);
    program->window = search.found;
    return program->window != 0;
}

HWND waitForOwnedDialog(HWND owner, int controlId, DWORD timeout)
{
    HWND found = 0;
    waitUntil([&] {
        found = FindWindowExA(0, 0, "#32770", 0);
        while (found && (GetWindow(found, GW_OWNER) != owner || !GetDlgItem(found, controlId)))
            found = FindWindowExA(0, found, "#32770", 0);
        return found && IsWindowVisible(found);
    }, timeout);
    return found;
}

int endProgram(DrivenProgram* program, DWORD timeout)
{
    DWORD code = (DWORD)-1;
    if (!program->process.hProcess)
        return -1;
    if (WaitForSingleObject(program->process.hProcess, timeout) == WAIT_OBJECT_0)
        GetExitCodeProcess(program->process.hProcess, &code);
    else
        TerminateProcess(program->process.hProcess, 1);
    CloseHandle(program->process.hProcess);
    CloseHandle(program->process.hThread);
    ZeroMemory(program, sizeof *program);
    return (int)code;
}

std::string windowText(HWND window)
{
    char text[4096] = "";
    DWORD_PTR length = 0;
    SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, (LPARAM)text, SMTO_ABORTIFHUNG, 5000, &length);
    return text;
}

std::string controlText(HWND window, int id)
{
    return windowText(GetDlgItem(window, id));
}

int isEnabled(HWND window, int id)
{
    return IsWindowEnabled(GetDlgItem(window, id)) != 0;
}

int pressButton(HWND window, int id)
{
    if (!isEnabled(window, id))
        return 0;
    PostMessageA(GetDlgItem(window, id), BM_CLICK, 0, 0);
    return 1;
}
