// Works the real Quorv.exe as a user would and reads back what a user would
// see: its lists, its system menu, its settings and the clipboard.
#pragma once
#include <cstdlib>
#include <cstring>
#include <string>
#include "bytes.h"
#include "messageBoxWatcher.h"
#include "resource.h"
#include "windowDriver.h"

// The language the run expects: CTest runs the driver once for an English
// and once for a German user.
inline const char* inLanguage(const char* english, const char* german)
{
    const char* language = getenv("QUORV_EXPECT_LANGUAGE");
    return language && !strcmp(language, "de") ? german : english;
}

// A run of Quorv.exe (or a test build of it) for one test, its message boxes
// watched, the registry cleaned first unless asked to keep it. Closed the
// ordinary way, it must end with exit code 0.
struct QuorvSession {
    DrivenProgram program;
    HWND window;
    explicit QuorvSession(const char* file = "Quorv.exe", bool freshRegistry = true)
    {
        if (freshRegistry)
            RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Velmora");
        DeleteFileA("C:\\Quorv.rpt");
        RemoveDirectoryA("C:\\Quorv.rpt");
        bool started = startProgram(&program, file, IDC_TRANSLATE);
        window = program.window;
        if (!started)
            endProgram(&program, 0);
        REQUIRE(started);
        startMessageBoxWatcher(program.process.dwProcessId);
    }
    ~QuorvSession()
    {
        PostMessageA(window, WM_CLOSE, 0, 0);
        CHECK_EQ(endProgram(&program), 0);
        stopMessageBoxWatcher();
        DeleteFileA("C:\\Quorv.rpt");
    }
};

// Replaces the input box's text as pasting would, so that the box's limit
// and its change notification apply.
inline void typeText(HWND window, const std::string& text)
{
    SendDlgItemMessageA(window, IDC_INPUT, EM_SETSEL, 0, -1);
    SendDlgItemMessageA(window, IDC_INPUT, EM_REPLACESEL, TRUE, (LPARAM)text.c_str());
}
inline void typeText(HWND window, const wchar_t* text)
{
    SendDlgItemMessageW(window, IDC_INPUT, EM_SETSEL, 0, -1);
    SendDlgItemMessageW(window, IDC_INPUT, EM_REPLACESEL, TRUE, (LPARAM)text);
}
inline void typeCharacter(HWND window, char c) { SendDlgItemMessageA(window, IDC_INPUT, WM_CHAR, (BYTE)c, 1); }

// Picks an entry as a user would: selection, then the change notification.
inline void chooseEntry(HWND window, int listId, int position)
{
    SendDlgItemMessageA(window, listId, CB_SETCURSEL, position, 0);
    SendMessageA(window, WM_COMMAND, MAKEWPARAM(listId, CBN_SELCHANGE), (LPARAM)GetDlgItem(window, listId));
}
inline int selected(HWND window, int listId) { return (int)SendDlgItemMessageA(window, listId, CB_GETCURSEL, 0, 0); }
inline int listCount(HWND window, int listId) { return (int)SendDlgItemMessageA(window, listId, CB_GETCOUNT, 0, 0); }

// Whether an item of the window's system menu is greyed, as a hook inside
// Quorv.exe reads it: other processes cannot read its menus.
inline bool grayed(HWND window, UINT command)
{
    static DWORD probedThread;
    if (probedThread != GetWindowThreadProcessId(window, 0)) {
        HMODULE module = LoadLibraryA("menuProbe.dll");
        HOOKPROC hook = module ? (HOOKPROC)(void*)GetProcAddress(module, "menuProbe") : 0;
        probedThread = GetWindowThreadProcessId(window, 0);
        REQUIRE(SetWindowsHookExA(WH_CALLWNDPROC, hook, module, probedThread));
    }
    RemovePropA(window, "QuorvMenuState");
    SendMessageA(window, RegisterWindowMessageA("QuorvMenuProbe"), command, 0);
    UINT_PTR state = (UINT_PTR)GetPropA(window, "QuorvMenuState");
    REQUIRE(state);
    return ((state - 1) & MF_GRAYED) != 0;
}

inline bool topmost(HWND window) { return (GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }
inline bool autoCopyChecked(HWND window) { return SendDlgItemMessageA(window, IDC_AUTO_COPY, BM_GETCHECK, 0, 0) == BST_CHECKED; }

// The clipboard's Unicode text in Windows-1252, the service's code page.
inline std::string clipboardText()
{
    char text[256] = "(no text)";
    // The system's clipboard manager may hold it for a moment after a change.
    if (!waitUntil([] { return OpenClipboard(0) != 0; }, 2000))
        return "(clipboard busy)";
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    if (const WCHAR* locked = data ? (const WCHAR*)GlobalLock(data) : 0) {
        WideCharToMultiByte(1252, 0, locked, -1, text, sizeof text, 0, 0);
        GlobalUnlock(data);
    }
    CloseClipboard();
    return text;
}
