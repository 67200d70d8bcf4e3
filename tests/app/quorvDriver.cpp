#include "quorvDriver.h"

QuorvSession::QuorvSession(const char* file, bool freshRegistry) : window(0), menuProbe(0)
{
    if (freshRegistry)
        deleteProductKeys();
    DeleteFileA("C:\\Quorv.rpt");
    bool started = startProgram(&program, file, IDC_TRANSLATE);
    window = program.window;
    if (!started)
        endProgram(&program, 0);
    REQUIRE(started);
    startMessageBoxWatcher(program.process.dwProcessId);
    takeMessageBoxes(0, 0);
}

void QuorvSession::close()
{
    if (!window)
        return;
    if (menuProbe)
        UnhookWindowsHookEx(menuProbe);
    PostMessageA(window, WM_CLOSE, 0, 0);
    window = 0;
    CHECK_EQ(endProgram(&program), 0);
    stopMessageBoxWatcher();
}

QuorvSession::~QuorvSession()
{
    close();
    onMessageBoxSeen = 0;
    DeleteFileA("C:\\Quorv.rpt");
}

void typeText(HWND window, const std::string& text)
{
    HWND input = GetDlgItem(window, IDC_INPUT);
    SendMessageA(input, EM_SETSEL, 0, -1);
    SendMessageA(input, EM_REPLACESEL, TRUE, (LPARAM)text.c_str());
}

void typeCharacter(HWND window, char c)
{
    SendMessageA(GetDlgItem(window, IDC_INPUT), WM_CHAR, (unsigned char)c, 1);
}

int chooseLanguage(HWND window, int listId, const char* name)
{
    HWND list = GetDlgItem(window, listId);
    if (SendMessageA(list, CB_SELECTSTRING, (WPARAM)-1, (LPARAM)name) == CB_ERR)
        return 0;
    SendMessageA(window, WM_COMMAND, MAKEWPARAM(listId, CBN_SELCHANGE), (LPARAM)list);
    return 1;
}

// Entries are read as UTF-16: the ANSI form of CB_GETLBTEXT does not cross
// process boundaries intact under Wine.
std::string listEntry(HWND window, int listId, int position)
{
    HWND list = GetDlgItem(window, listId);
    if (position < 0)
        position = (int)SendMessageA(list, CB_GETCURSEL, 0, 0);
    WCHAR text[256] = L"";
    char converted[256] = "(none)";
    if (position >= 0 && SendMessageW(list, CB_GETLBTEXTLEN, position, 0) < 256) {
        SendMessageW(list, CB_GETLBTEXT, position, (LPARAM)text);
        WideCharToMultiByte(CP_ACP, 0, text, -1, converted, sizeof converted, 0, 0);
    }
    return converted;
}

int listCount(HWND window, int listId)
{
    return (int)SendDlgItemMessageA(window, listId, CB_GETCOUNT, 0, 0);
}

int systemMenuItem(QuorvSession* session, UINT command, std::string* text)
{
    if (!session->menuProbe) {
        typedef HHOOK (*Install)(DWORD);
        HMODULE probe = LoadLibraryA("menuProbe.dll");
        Install install = probe ? (Install)(void*)GetProcAddress(probe, "installMenuProbe") : 0;
        if (install)
            session->menuProbe = install(GetWindowThreadProcessId(session->window, 0));
        if (!session->menuProbe)
            return -1;
    }
    RemovePropA(session->window, "QuorvMenuState");
    SendMessageA(session->window, RegisterWindowMessageA("QuorvMenuProbe"), command, 0);
    int state = (int)(UINT_PTR)GetPropA(session->window, "QuorvMenuState") - 1;
    ATOM atom = (ATOM)(UINT_PTR)GetPropA(session->window, "QuorvMenuText");
    char name[128] = "";
    if (atom) {
        GlobalGetAtomNameA(atom, name, sizeof name);
        GlobalDeleteAtom(atom);
    }
    if (text)
        *text = name;
    return state;
}

RECT controlRect(HWND window, int id)
{
    RECT rect;
    GetWindowRect(GetDlgItem(window, id), &rect);
    MapWindowPoints(0, window, (POINT*)&rect, 2);
    return rect;
}

COLORREF controlPixel(HWND window, int id, int x, int y)
{
    RECT rect;
    GetWindowRect(GetDlgItem(window, id), &rect);
    HDC screen = GetDC(0);
    COLORREF colour = GetPixel(screen, rect.left + x, rect.top + y);
    ReleaseDC(0, screen);
    return colour;
}

void deleteProductKeys()
{
    RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Velmora");
}

int keyExists(const char* path)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return 0;
    RegCloseKey(key);
    return 1;
}

std::string readSetting(const char* name, DWORD* type)
{
    BYTE buffer[64];
    DWORD size = sizeof buffer;
    if (RegGetValueA(HKEY_CURRENT_USER, SettingsKey, name, RRF_RT_ANY, type, buffer, &size) != ERROR_SUCCESS)
        return "<missing>";
    return std::string((const char*)buffer, size);
}

void writeSetting(const char* name, DWORD type, const void* data, DWORD size)
{
    RegSetKeyValueA(HKEY_CURRENT_USER, SettingsKey, name, type, data, size);
}

std::string clipboardText()
{
    std::string text = "(no text)";
    if (!OpenClipboard(0))
        return "(clipboard busy)";
    HANDLE data = GetClipboardData(CF_TEXT);
    const char* locked = data ? (const char*)GlobalLock(data) : 0;
    if (locked) {
        text = locked;
        GlobalUnlock(data);
    }
    CloseClipboard();
    return text;
}
