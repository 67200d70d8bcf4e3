#include "messageBoxWatcher.h"

// The static control that holds a message box's text.
enum { MESSAGE_BOX_TEXT_ID = 0xFFFF };

void (*onMessageBoxSeen)(HWND box);

static HANDLE watcherThread;
static DWORD watchedProcess;
static volatile LONG stopWatching;
static CRITICAL_SECTION seenLock;
static std::vector<SeenMessageBox> seen;
// Boxes already pressed, which may take a moment to go away.
static std::vector<HWND> pressed;

static bool alreadyPressed(HWND window)
{
    for (size_t i = 0; i < pressed.size(); ++i)
        if (!IsWindow(pressed[i]))
            pressed.erase(pressed.begin() + i--);
    for (HWND box : pressed)
        if (box == window)
            return true;
    return false;
}

static BOOL CALLBACK pressIfMessageBox(HWND window, LPARAM)
{
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    char className[64];
    if (process != watchedProcess || !IsWindowVisible(window)
        || !GetClassNameA(window, className, sizeof className) || lstrcmpA(className, "#32770"))
        return TRUE;
    HWND textControl = GetDlgItem(window, MESSAGE_BOX_TEXT_ID);
    HWND okButton = GetDlgItem(window, IDOK);
    if (!textControl || !okButton || alreadyPressed(window))
        return TRUE;

    SeenMessageBox box;
    char text[2048];
    GetWindowTextA(window, text, sizeof text);
    box.caption = text;
    GetWindowTextA(textControl, text, sizeof text);
    box.text = text;
    box.owner = GetWindow(window, GW_OWNER);
    if (onMessageBoxSeen)
        onMessageBoxSeen(window);
    EnterCriticalSection(&seenLock);
    seen.push_back(box);
    LeaveCriticalSection(&seenLock);
    pressed.push_back(window);
    PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), (LPARAM)okButton);
    return TRUE;
}

static DWORD WINAPI watch(void*)
{
    while (!stopWatching) {
        EnumWindows(pressIfMessageBox, 0);
        Sleep(20);
    }
    return 0;
}

void startMessageBoxWatcher(DWORD processId)
{
    watchedProcess = processId;
    InitializeCriticalSection(&seenLock);
    stopWatching = 0;
    watcherThread = CreateThread(0, 0, watch, 0, 0, 0);
}

void stopMessageBoxWatcher()
{
    stopWatching = 1;
    WaitForSingleObject(watcherThread, 5000);
    CloseHandle(watcherThread);
    DeleteCriticalSection(&seenLock);
}

std::vector<SeenMessageBox> takeMessageBoxes(size_t count, DWORD timeout)
{
    DWORD start = GetTickCount();
    for (;;) {
        EnterCriticalSection(&seenLock);
        size_t have = seen.size();
        LeaveCriticalSection(&seenLock);
        if (have >= count || GetTickCount() - start > timeout)
            break;
        Sleep(10);
    }
    // Let a box that is being pressed right now close before the next check.
    Sleep(50);
    EnterCriticalSection(&seenLock);
    std::vector<SeenMessageBox> boxes;
    boxes.swap(seen);
    LeaveCriticalSection(&seenLock);
    return boxes;
}
