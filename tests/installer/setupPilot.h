// Plays the user of Setup.exe: lays out a release folder, starts Setup from
// it, and moves through the sheet by its buttons while the message box
// watcher answers its boxes. The driver tests, the setup benchmark and the
// screenshot tour share it; each runs from drive T:, beside Setup.exe and
// launchRecorder.exe.
#pragma once
#include <windows.h>
#include <string>
#include "messageBoxWatcher.h"
#include "shellChecks.h"
#include "statusControl.h"
#include "windowDriver.h"
#include "resources/resource.h"
#include <prsht.h>

enum Page { WELCOME, FOLDER, LINKS, STEPS, FINISH };
// The wizard buttons that the common controls give the sheet.
enum { NEXT_BUTTON = 0x3024, FINISH_BUTTON = 0x3025 };

inline const std::string release = "C:\\release\\";
inline PROCESS_INFORMATION setupProcess;
inline HWND setupSheet;

// How long Setup may take to start, to change pages or to install.
const DWORD setupPatience = 15000;

// Setup.exe beside a stand-in for Quorv.exe, a readme, and names that a
// faithful copy must keep, one of them outside the code page.
inline void prepareRelease()
{
    removeTree(release);
    makeFolders(release + "more docs");
    CopyFileA("T:\\Setup.exe", (release + "Setup.exe").c_str(), FALSE);
    CopyFileA("T:\\launchRecorder.exe", (release + "Quorv.exe").c_str(), FALSE);
    writeFile(release + "Readme.txt", "Quorvel\r\n=======\r\n");
    writeFile(release + "more docs\\language pairs.txt", std::string(70000, 'p'));
    CloseHandle(CreateFileW(L"C:\\release\\\u03A9\u4E2D.txt", GENERIC_WRITE, 0, 0, CREATE_ALWAYS, 0, 0));
}

// Ends Setup if it still runs, so that no failed check leaves it behind.
inline void endSetup()
{
    if (!setupProcess.hProcess)
        return;
    TerminateProcess(setupProcess.hProcess, 1);
    WaitForSingleObject(setupProcess.hProcess, 5000);
    stopMessageBoxWatcher();
    CloseHandle(setupProcess.hProcess);
    CloseHandle(setupProcess.hThread);
    setupProcess = {};
}

// A Setup still running when the program ends would keep Wine, and the
// test, waiting.
inline struct EndSetupAtExit {
    ~EndSetupAtExit() { endSetup(); }
} endSetupAtExit;

inline BOOL CALLBACK findSheet(HWND window, LPARAM)
{
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == setupProcess.dwProcessId && IsWindowVisible(window) && GetDlgItem(window, NEXT_BUTTON))
        setupSheet = window;
    return !setupSheet;
}

// Ends a Setup left from before and starts path; 1 once its sheet shows.
inline int startSetup(const std::string& path)
{
    endSetup();
    setupSheet = 0;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    if (!CreateProcessA(path.c_str(), 0, 0, 0, FALSE, 0, 0, "C:\\", &startup, &setupProcess))
        return 0;
    startMessageBoxWatcher(setupProcess.dwProcessId);
    return waitUntil([] { return !EnumWindows(findSheet, 0); }, setupPatience);
}

inline int setupEnded()
{
    return waitUntil([] { return WaitForSingleObject(setupProcess.hProcess, 0) == WAIT_OBJECT_0; }, 10000);
}

inline LRESULT ask(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
{
    DWORD_PTR result = 0;
    SendMessageTimeoutA(window, message, wParam, lParam, SMTO_ABORTIFHUNG, 5000, &result);
    return (LRESULT)result;
}

inline int pageIndex()
{
    HWND page = (HWND)ask(setupSheet, PSM_GETCURRENTPAGEHWND);
    return page ? (int)ask(setupSheet, PSM_HWNDTOINDEX, (WPARAM)page) : -1;
}

inline int waitForPage(int index) { return waitUntil([index] { return pageIndex() == index; }, setupPatience); }

// A control of a page, shown or not.
inline HWND pageItem(int page, int id) { return GetDlgItem((HWND)ask(setupSheet, PSM_INDEXTOHWND, page), id); }

// Presses a sheet button the way a user can: only when it shows, enabled.
inline int press(int id)
{
    HWND button = GetDlgItem(setupSheet, id);
    return waitUntil([button] { return IsWindowVisible(button) && IsWindowEnabled(button); }, 3000)
        && PostMessageA(setupSheet, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)button);
}

inline void setCheck(int page, int id, int value) { ask(pageItem(page, id), BM_SETCHECK, value ? BST_CHECKED : 0); }

inline int rowState(int row)
{
    static const int rows[3] = { IDC_STATUS_EMPTY, IDC_STATUS_COPY, IDC_STATUS_LINKS };
    return GetWindowLongA(pageItem(STEPS, rows[row]), 0);
}

struct Outcome {
    std::string proposal;
    int reached;        // the page shown once the installation ended
    DWORD installMilliseconds;  // from Next on the steps page to the page reached
};

// From the start of setupPath through Next on the steps page, with folder
// typed (unless empty) and the desktop link's box set (unless -1); reached
// is the page where it stopped, WELCOME if it never ran.
inline Outcome installWith(const std::string& setupPath, const std::string& folder = "", int desktop = -1)
{
    Outcome outcome = {};
    char text[MAX_PATH] = "";
    if (!startSetup(setupPath) || !waitForPage(WELCOME) || !press(NEXT_BUTTON) || !waitForPage(FOLDER))
        return outcome;
    ask(pageItem(FOLDER, IDC_FOLDER), WM_GETTEXT, sizeof text, (LPARAM)text);
    outcome.proposal = text;
    if (!folder.empty())
        ask(pageItem(FOLDER, IDC_FOLDER), WM_SETTEXT, 0, (LPARAM)folder.c_str());
    if (!press(NEXT_BUTTON) || !waitForPage(LINKS))
        return outcome;
    if (desktop >= 0)
        setCheck(LINKS, IDC_LINK_DESKTOP, desktop);
    if (!press(NEXT_BUTTON) || !waitForPage(STEPS) || !press(NEXT_BUTTON))
        return outcome;
    DWORD pressed = GetTickCount();
    // Done when the finish page shows, or when a failed row shows and the
    // sheet answers again with no box open: a message sent to it returns
    // only once setup waits for messages, and a box that follows the row
    // has disabled the sheet by then.
    waitUntil([] {
        return pageIndex() == FINISH
            || ((rowState(0) == STEP_FAILED || rowState(1) == STEP_FAILED)
                && (ask(setupSheet, WM_NULL), IsWindowEnabled(GetDlgItem(setupSheet, NEXT_BUTTON)) && IsWindowEnabled(setupSheet)));
    }, setupPatience);
    outcome.installMilliseconds = GetTickCount() - pressed;
    outcome.reached = pageIndex();
    return outcome;
}
