#include "messageBoxWatcher.h"
#include <stdio.h>

// The static control that holds a message box's text.
enum { MESSAGE_BOX_TEXT_ID = 0xFFFF };
// A box still up this long after it was first seen ends the watched process,
// so that a test stuck behind a box fails in seconds rather than at its
// time limit.
enum { BOX_DEADLINE = 10000 };

int messageBoxAnswer = IDOK;
void (*onMessageBoxSeen)(HWND box);

static HANDLE watcherThread;
static DWORD watchedProcess;
static volatile LONG stopWatching;
static CRITICAL_SECTION seenLock;
static std::vector<SeenMessageBox> seen;
// Boxes seen and not yet gone.
static volatile LONG boxesUp;
// Boxes already pressed, which may take a moment to go away, and when.
static std::vector<std::pair<HWND, DWORD>> pressed;

static BOOL CALLBACK collectText(HWND child, LPARAM text)
{
    char className[32], value[2048];
    std::string& all = *(std::string*)text;
    if (GetClassNameA(child, className, sizeof className) && !lstrcmpiA(className, "Static")
        && GetWindowTextA(child, value, sizeof value) > 0)
        all += (all.empty() ? "" : "\n") + std::string(value);
    return TRUE;
}

static BOOL CALLBACK pressIfMessageBox(HWND window, LPARAM)
{
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    char className[64], text[2048];
    HWND textControl = GetDlgItem(window, MESSAGE_BOX_TEXT_ID);
    // A message box, or the shell's own question with Yes and No.
    if (process != watchedProcess || !IsWindowVisible(window) || !GetClassNameA(window, className, sizeof className)
        || lstrcmpA(className, "#32770") || (!textControl && !(GetDlgItem(window, IDYES) && GetDlgItem(window, IDNO))))
        return TRUE;
    for (const auto& box : pressed)
        if (box.first == window) {
            if (GetTickCount() - box.second > BOX_DEADLINE) {
                fprintf(stderr, "message box still up after %d ms: ending process %lu\n", BOX_DEADLINE, watchedProcess);
                HANDLE process = OpenProcess(PROCESS_TERMINATE, FALSE, watchedProcess);
                TerminateProcess(process, 3);
                CloseHandle(process);
            }
            return TRUE;
        }
    SeenMessageBox box;
    GetWindowTextA(window, text, sizeof text);
    box.caption = text;
    if (textControl) {
        GetWindowTextA(textControl, text, sizeof text);
        box.text = text;
    } else {
        EnumChildWindows(window, collectText, (LPARAM)&box.text);
    }
    box.owner = GetWindow(window, GW_OWNER);
    EnterCriticalSection(&seenLock);
    seen.push_back(box);
    InterlockedIncrement(&boxesUp);
    LeaveCriticalSection(&seenLock);
    if (onMessageBoxSeen)
        onMessageBoxSeen(window);
    pressed.push_back({ window, GetTickCount() });
    // The test's answer where the box offers it, else OK, else a refusal.
    int button = 0;
    for (int id : { IDNO, IDCANCEL, IDOK, messageBoxAnswer })
        button = GetDlgItem(window, id) ? id : button;
    PostMessageA(window, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), (LPARAM)GetDlgItem(window, button));
    return TRUE;
}

static DWORD WINAPI watch(void*)
{
    for (; !stopWatching; Sleep(20)) {
        for (size_t i = 0; i < pressed.size(); ++i)
            if (!IsWindow(pressed[i].first)) {
                pressed.erase(pressed.begin() + i--);
                InterlockedDecrement(&boxesUp);
            }
        EnumWindows(pressIfMessageBox, 0);
    }
    return 0;
}

void startMessageBoxWatcher(DWORD processId)
{
    watchedProcess = processId;
    seen.clear();
    pressed.clear();
    boxesUp = 0;
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
    std::vector<SeenMessageBox> boxes;
    // A box that is being pressed right now closes before the next check.
    for (DWORD start = GetTickCount(); GetTickCount() - start <= timeout; Sleep(10)) {
        EnterCriticalSection(&seenLock);
        int done = seen.size() >= count && !boxesUp;
        LeaveCriticalSection(&seenLock);
        if (done)
            break;
    }
    EnterCriticalSection(&seenLock);
    boxes.swap(seen);
    LeaveCriticalSection(&seenLock);
    return boxes;
}
