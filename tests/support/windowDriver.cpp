#include "windowDriver.h"

int waitUntil(const std::function<bool()>& condition, DWORD timeout)
{
    for (DWORD start = GetTickCount(); !condition(); Sleep(10))
        if (GetTickCount() - start > timeout)
            return 0;
    return 1;
}

// The first visible top-level window that has the control, of the process
// if one is given, else owned by the window given.
static HWND findWindow(DWORD process, HWND owner, int controlId)
{
    for (HWND window = 0; (window = FindWindowExA(0, window, 0, 0));) {
        DWORD windowProcess = 0;
        GetWindowThreadProcessId(window, &windowProcess);
        if ((process ? windowProcess == process : GetWindow(window, GW_OWNER) == owner) && IsWindowVisible(window)
            && GetDlgItem(window, controlId))
            return window;
    }
    return 0;
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
    DWORD process = program->process.dwProcessId;
    if (controlId)
        waitUntil([&] { return (program->window = findWindow(process, 0, controlId)) != 0; }, timeout);
    return !controlId || program->window;
}

HWND waitForOwnedDialog(HWND owner, int controlId, DWORD timeout)
{
    HWND found = 0;
    waitUntil([&] { return (found = findWindow(0, owner, controlId)) != 0; }, timeout);
    return found;
}

// A selection posted to the edit box leaves the queue after the messages
// posted before it.
int handlePosted(HWND window, int editId)
{
    HWND edit = GetDlgItem(window, editId);
    for (int round = 0; round < 2; ++round) {
        SendMessageA(edit, EM_SETSEL, 0, 0);
        PostMessageA(edit, EM_SETSEL, 0, 1);
        if (!waitUntil([&] { return HIWORD(SendMessageA(edit, EM_GETSEL, 0, 0)) == 1; }))
            return 0;
    }
    return 1;
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

std::string controlText(HWND window, int id)
{
    char text[4096] = "";
    SendMessageTimeoutA(GetDlgItem(window, id), WM_GETTEXT, sizeof text, (LPARAM)text, SMTO_ABORTIFHUNG, 5000, 0);
    return text;
}
int isEnabled(HWND window, int id) { return IsWindowEnabled(GetDlgItem(window, id)) != 0; }

int pressButton(HWND window, int id)
{
    if (!isEnabled(window, id))
        return 0;
    PostMessageA(GetDlgItem(window, id), BM_CLICK, 0, 0);
    return 1;
}
