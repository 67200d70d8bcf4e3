#include "setupPilot.h"
#include "messageBoxWatcher.h"
#include "shellChecks.h"
#include <prsht.h>

const std::string release = "C:\\release\\";
PROCESS_INFORMATION setupProcess;
HWND setupSheet;

static std::string ownFolder()
{
    char path[MAX_PATH];
    GetModuleFileNameA(0, path, MAX_PATH);
    std::string folder = path;
    return folder.substr(0, folder.rfind('\\') + 1);
}

void prepareRelease()
{
    removeTree(release);
    makeFolders(release + "more docs");
    CopyFileA((ownFolder() + "Setup.exe").c_str(), (release + "Setup.exe").c_str(), FALSE);
    CopyFileA((ownFolder() + "launchRecorder.exe").c_str(), (release + "Quorv.exe").c_str(), FALSE);
    writeFile(release + "Readme.txt", "Quorvel\r\n=======\r\n");
    writeFile(release + "more docs\\language pairs.txt", std::string(70000, 'p'));
    writeFile(release + "empty file.dat", "");
    // Named outside the code page: found only by its wide name.
    HANDLE wide = CreateFileW(L"C:\\release\\\u03A9\u4E2D.txt", GENERIC_WRITE, 0, 0, CREATE_ALWAYS, 0, 0);
    DWORD written;
    WriteFile(wide, "omega", 5, &written, 0);
    CloseHandle(wide);
}

static BOOL CALLBACK findSheet(HWND window, LPARAM)
{
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != setupProcess.dwProcessId || !IsWindowVisible(window) || !GetDlgItem(window, NEXT_BUTTON))
        return TRUE;
    setupSheet = window;
    return FALSE;
}

void endSetup()
{
    if (!setupProcess.hProcess)
        return;
    if (WaitForSingleObject(setupProcess.hProcess, 0) != WAIT_OBJECT_0)
        TerminateProcess(setupProcess.hProcess, 1);
    WaitForSingleObject(setupProcess.hProcess, 5000);
    stopMessageBoxWatcher();
    CloseHandle(setupProcess.hProcess);
    CloseHandle(setupProcess.hThread);
    setupProcess = {};
}

// A Setup still running when the program ends would keep Wine, and the
// test, waiting.
static struct EndSetupAtExit {
    ~EndSetupAtExit() { endSetup(); }
} endSetupAtExit;

int startSetup(const std::string& path)
{
    endSetup();
    setupSheet = 0;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    if (!CreateProcessA(path.c_str(), 0, 0, 0, FALSE, 0, 0, "C:\\", &startup, &setupProcess))
        return 0;
    startMessageBoxWatcher(setupProcess.dwProcessId);
    return waitFor([] { return !EnumWindows(findSheet, 0) && setupSheet; });
}

int setupEnded(DWORD timeout)
{
    return waitFor([] { return WaitForSingleObject(setupProcess.hProcess, 0) == WAIT_OBJECT_0; }, timeout);
}

static LRESULT ask(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
{
    DWORD_PTR result = 0;
    SendMessageTimeoutA(window, message, wParam, lParam, SMTO_ABORTIFHUNG, 5000, &result);
    return (LRESULT)result;
}

static HWND page(int index)
{
    return (HWND)ask(setupSheet, PSM_INDEXTOHWND, index);
}

int pageIndex()
{
    HWND current = (HWND)ask(setupSheet, PSM_GETCURRENTPAGEHWND);
    return current ? (int)ask(setupSheet, PSM_HWNDTOINDEX, (WPARAM)current) : -1;
}

int waitForPage(int index)
{
    return waitFor([index] { return pageIndex() == index; });
}

int buttonReady(int id)
{
    HWND button = GetDlgItem(setupSheet, id);
    return button && IsWindowVisible(button) && IsWindowEnabled(button);
}

int press(int id)
{
    if (!waitFor([id] { return buttonReady(id); }, 3000))
        return 0;
    PostMessageA(setupSheet, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)GetDlgItem(setupSheet, id));
    return 1;
}

std::string pageText(int id)
{
    char text[1024] = "";
    ask(GetDlgItem(page(pageIndex()), id), WM_GETTEXT, sizeof text, (LPARAM)text);
    return text;
}

void setPageText(int id, const std::string& text)
{
    ask(GetDlgItem(page(pageIndex()), id), WM_SETTEXT, 0, (LPARAM)text.c_str());
}

void setCheck(int id, int value)
{
    if (value >= 0)
        ask(GetDlgItem(page(pageIndex()), id), BM_SETCHECK, value ? BST_CHECKED : BST_UNCHECKED);
}

int rowState(int row)
{
    static const int rows[3] = { IDC_STATUS_EMPTY, IDC_STATUS_COPY, IDC_STATUS_LINKS };
    return GetWindowLongA(GetDlgItem(page(STEPS), rows[row]), 0);
}

Outcome installWith(const std::string& setupPath, const Choices& choices)
{
    Outcome outcome = {};
    outcome.reached = -1;
    if (!startSetup(setupPath) || !waitForPage(WELCOME))
        return outcome;
    // The page sets its buttons by a posted message: wait for it to arrive.
    waitFor([] { return buttonReady(NEXT_BUTTON); }, 3000);
    outcome.welcomeBack = buttonReady(BACK_BUTTON);
    if (!press(NEXT_BUTTON) || !waitForPage(FOLDER))
        return outcome;
    outcome.proposal = pageText(IDC_FOLDER);
    if (!choices.folder.empty())
        setPageText(IDC_FOLDER, choices.folder);
    if (!press(NEXT_BUTTON) || !waitForPage(LINKS))
        return outcome;
    setCheck(IDC_LINK_DESKTOP, choices.desktop);
    setCheck(IDC_LINK_START_ROOT, choices.startMenuRoot);
    setCheck(IDC_LINK_GROUP, choices.group);
    if (!press(NEXT_BUTTON) || !waitForPage(STEPS))
        return outcome;
    outcome.rowsBefore[0] = rowState(0);
    outcome.rowsBefore[1] = rowState(1);
    outcome.labelsEnabled = IsWindowEnabled(GetDlgItem(page(STEPS), IDC_LABEL_EMPTY))
        + IsWindowEnabled(GetDlgItem(page(STEPS), IDC_LABEL_COPY));
    if (!press(NEXT_BUTTON))
        return outcome;
    DWORD pressed = GetTickCount();
    // Done when the finish page shows, or when a failed row shows and the
    // sheet answers again with Next usable.
    waitFor([] {
        if (pageIndex() == FINISH)
            return true;
        if (rowState(0) != STEP_FAILED && rowState(1) != STEP_FAILED)
            return false;
        Sleep(100);
        return pageIndex() == STEPS && buttonReady(NEXT_BUTTON);
    });
    outcome.installMilliseconds = GetTickCount() - pressed;
    outcome.reached = pageIndex();
    for (int row = 0; row < 3; ++row)
        outcome.rows[row] = rowState(row);
    return outcome;
}
