#include "messageBoxWatcher.h"
#include <stdio.h>

// The static control that holds a message box's text.
enum { MESSAGE_BOX_TEXT_ID = 0xFFFF };
// A box still up this long after it was first seen ends the watched process,
// so that a test stuck behind a box fails in seconds rather than at its
// time limit.
enum { BOX_DEADLINE = 10000 };

void (*onMessageBoxSeen)(HWND box);
int messageBoxAnswer = IDOK;

static HANDLE watcherThread;
static DWORD watchedProcess;
static volatile LONG stopWatching;
static CRITICAL_SECTION seenLock;
static std::vector<SeenMessageBox> seen;
// Boxes already pressed, which may take a moment to go away.
struct PressedBox {
    HWND window;
    DWORD seenAt;
};
static std::vector<PressedBox> pressed;

static void endWatchedProcess(HWND box)
{
    char caption[256] = "";
    GetWindowTextA(box, caption, sizeof caption);
    fprintf(stderr, "message box \"%s\" still up after %d ms: ending process %lu\n", caption, BOX_DEADLINE,
            watchedProcess);
    fflush(stderr);
    HANDLE process = OpenProcess(PROCESS_TERMINATE, FALSE, watchedProcess);
    TerminateProcess(process, 3);
    CloseHandle(process);
}

static bool alreadyPressed(HWND window)
{
    for (size_t i = 0; i < pressed.size(); ++i)
        if (!IsWindow(pressed[i].window))
            pressed.erase(pressed.begin() + i--);
    for (const PressedBox& box : pressed)
        if (box.window == window) {
            if (GetTickCount() - box.seenAt > BOX_DEADLINE)
                endWatchedProcess(window);
            return true;
        }
    return false;
}

static BOOL CALLBACK collectText(HWND child, LPARAM text)
{
    char className[32];
    char value[2048];
    std::string& all = *(std::string*)text;
    if (GetClassNameA(child, className, sizeof className) && !lstrcmpiA(className, "Static")
        && GetWindowTextA(child, value, sizeof value) > 0)
        all += (all.empty() ? "" : "\n") + std::string(value);
    return TRUE;
}

// The test's answer where the box offers it, else OK, else a refusal.
static int buttonFor(HWND box)
{
    for (int id : { messageBoxAnswer, IDOK, IDCANCEL, IDNO })
        if (GetDlgItem(box, id))
            return id;
    return 0;
}

static BOOL CALLBACK pressIfMessageBox(HWND window, LPARAM)
{
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    char className[64];
    if (process != watchedProcess || !IsWindowVisible(window)
        || !GetClassNameA(window, className, sizeof className) || lstrcmpA(className, "#32770"))
        return TRUE;
    // A message box, or the shell's own question with Yes and No.
    HWND textControl = GetDlgItem(window, MESSAGE_BOX_TEXT_ID);
    if ((!textControl && !(GetDlgItem(window, IDYES) && GetDlgItem(window, IDNO))) || alreadyPressed(window))
        return TRUE;

    SeenMessageBox box;
    char text[2048];
    GetWindowTextA(window, text, sizeof text);
    box.caption = text;
    if (textControl) {
        GetWindowTextA(textControl, text, sizeof text);
        box.text = text;
    } else {
        EnumChildWindows(window, collectText, (LPARAM)&box.text);
    }
    box.owner = GetWindow(window, GW_OWNER);
    if (onMessageBoxSeen)
        onMessageBoxSeen(window);
    EnterCriticalSection(&seenLock);
    seen.push_back(box);
    LeaveCriticalSection(&seenLock);
    pressed.push_back({ window, GetTickCount() });
    int button = buttonFor(window);
    PostMessageA(window, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), (LPARAM)GetDlgItem(window, button));
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
    seen.clear();
    pressed.clear();
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
