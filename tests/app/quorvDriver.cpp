#include "quorvDriver.h"

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
    HWND found;
};

static BOOL CALLBACK findMainWindow(HWND window, LPARAM parameter)
{
    WindowSearch* search = (WindowSearch*)parameter;
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == search->processId && IsWindowVisible(window) && GetDlgItem(window, 1005)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

int startQuorv(QuorvProcess* quorv, const char* program)
{
    char path[MAX_PATH];
    GetModuleFileNameA(0, path, sizeof path);
    *strrchr(path, '\\') = 0;
    lstrcatA(path, "\\");
    lstrcatA(path, program);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    ZeroMemory(quorv, sizeof *quorv);
    if (!CreateProcessA(path, 0, 0, 0, FALSE, 0, 0, 0, &startup, &quorv->process))
        return 0;
    WindowSearch search = { quorv->process.dwProcessId, 0 };
    waitUntil([&] {
        EnumWindows(findMainWindow, (LPARAM)&search);
        return search.found != 0;
    }, 10000);
    quorv->window = search.found;
    return quorv->window != 0;
}

int systemMenuItem(QuorvProcess* quorv, UINT command, std::string* text)
{
    if (!quorv->menuProbe) {
        typedef HHOOK(*Install)(DWORD);
        HMODULE probe = LoadLibraryA("menuProbe.dll");
        Install install = probe ? (Install)(void*)GetProcAddress(probe, "installMenuProbe") : 0;
        if (install)
            quorv->menuProbe = install(GetWindowThreadProcessId(quorv->window, 0));
        if (!quorv->menuProbe)
            return -1;
    }
    RemovePropA(quorv->window, "QuorvMenuState");
    SendMessageA(quorv->window, RegisterWindowMessageA("QuorvMenuProbe"), command, 0);
    int state = (int)(UINT_PTR)GetPropA(quorv->window, "QuorvMenuState") - 1;
    ATOM atom = (ATOM)(UINT_PTR)GetPropA(quorv->window, "QuorvMenuText");
    char name[128] = "";
    if (atom) {
        GlobalGetAtomNameA(atom, name, sizeof name);
        GlobalDeleteAtom(atom);
    }
    if (text)
        *text = name;
    return state;
}

int waitForExit(QuorvProcess* quorv, DWORD timeout)
{
    if (quorv->menuProbe)
        UnhookWindowsHookEx(quorv->menuProbe);
    DWORD code = (DWORD)-1;
    if (WaitForSingleObject(quorv->process.hProcess, timeout) == WAIT_OBJECT_0)
        GetExitCodeProcess(quorv->process.hProcess, &code);
    else
        TerminateProcess(quorv->process.hProcess, 1);
    CloseHandle(quorv->process.hProcess);
    CloseHandle(quorv->process.hThread);
    return (int)code;
}

int closeQuorv(QuorvProcess* quorv)
{
    PostMessageA(quorv->window, WM_CLOSE, 0, 0);
    return waitForExit(quorv);
}

HWND control(HWND window, int id)
{
    return GetDlgItem(window, id);
}

std::string windowText(HWND window)
{
    char text[4096] = "";
    SendMessageA(window, WM_GETTEXT, sizeof text, (LPARAM)text);
    return text;
}

std::string controlText(HWND window, int id)
{
    return windowText(control(window, id));
}

int isEnabled(HWND window, int id)
{
    return IsWindowEnabled(control(window, id)) != 0;
}

void typeText(HWND window, const std::string& text)
{
    HWND input = control(window, 1006);
    SendMessageA(input, EM_SETSEL, 0, -1);
    SendMessageA(input, EM_REPLACESEL, TRUE, (LPARAM)text.c_str());
}

void typeCharacter(HWND window, char c)
{
    SendMessageA(control(window, 1006), WM_CHAR, (unsigned char)c, 1);
}

int pressButton(HWND window, int id)
{
    if (!isEnabled(window, id))
        return 0;
    PostMessageA(control(window, id), BM_CLICK, 0, 0);
    return 1;
}

int chooseLanguage(HWND window, int listId, const char* name)
{
    HWND list = control(window, listId);
    if (SendMessageA(list, CB_SELECTSTRING, (WPARAM)-1, (LPARAM)name) == CB_ERR)
        return 0;
    SendMessageA(window, WM_COMMAND, MAKEWPARAM(listId, CBN_SELCHANGE), (LPARAM)list);
    return 1;
}

// Entries are read as UTF-16: the ANSI form of CB_GETLBTEXT does not cross
// process boundaries intact under Wine.
static std::string entryText(HWND list, int position)
{
    WCHAR text[256] = L"";
    char converted[256] = "";
    if (SendMessageW(list, CB_GETLBTEXTLEN, position, 0) < 256)
        SendMessageW(list, CB_GETLBTEXT, position, (LPARAM)text);
    WideCharToMultiByte(CP_ACP, 0, text, -1, converted, sizeof converted, 0, 0);
    return converted;
}

std::string selectedEntry(HWND window, int listId)
{
    HWND list = control(window, listId);
    LRESULT position = SendMessageA(list, CB_GETCURSEL, 0, 0);
    return position == CB_ERR ? "(none)" : entryText(list, (int)position);
}

std::vector<std::string> listEntries(HWND window, int listId)
{
    HWND list = control(window, listId);
    std::vector<std::string> entries;
    int count = (int)SendMessageA(list, CB_GETCOUNT, 0, 0);
    for (int i = 0; i < count; ++i)
        entries.push_back(entryText(list, i));
    return entries;
}

void systemCommand(HWND window, UINT command)
{
    PostMessageA(window, WM_SYSCOMMAND, command, 0);
}

RECT controlRect(HWND window, int id)
{
    RECT rect;
    GetWindowRect(control(window, id), &rect);
    MapWindowPoints(0, window, (POINT*)&rect, 2);
    return rect;
}

static LONG deleteTree(HKEY parent, const char* name)
{
    HKEY key;
    if (RegOpenKeyExA(parent, name, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        return ERROR_FILE_NOT_FOUND;
    char child[256];
    while (RegEnumKeyA(key, 0, child, sizeof child) == ERROR_SUCCESS)
        if (deleteTree(key, child) != ERROR_SUCCESS)
            break;
    RegCloseKey(key);
    return RegDeleteKeyA(parent, name);
}

void deleteProductKeys()
{
    deleteTree(HKEY_CURRENT_USER, "Software\\Velmora");
}

int keyExists(const char* path)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return 0;
    RegCloseKey(key);
    return 1;
}

int readSetting(const char* name, DWORD* type, std::string* data)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, SettingsKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return 0;
    BYTE buffer[64];
    DWORD size = sizeof buffer;
    LONG result = RegQueryValueExA(key, name, 0, type, buffer, &size);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS)
        return 0;
    data->assign((const char*)buffer, size);
    return 1;
}

void writeSetting(const char* name, DWORD type, const void* data, DWORD size)
{
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, SettingsKey, 0, 0, 0, KEY_ALL_ACCESS, 0, &key, 0) != ERROR_SUCCESS)
        return;
    RegSetValueExA(key, name, 0, type, (const BYTE*)data, size);
    RegCloseKey(key);
}

std::string clipboardText()
{
    std::string text = "(no text)";
    if (!OpenClipboard(0))
        return "(clipboard busy)";
    HANDLE data = GetClipboardData(CF_TEXT);
    if (data) {
        const char* locked = (const char*)GlobalLock(data);
        if (locked)
            text = locked;
        GlobalUnlock(data);
    }
    CloseClipboard();
    return text;
}

void setClipboardText(const std::string& text)
{
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    memcpy(GlobalLock(block), text.c_str(), text.size() + 1);
    GlobalUnlock(block);
    if (!OpenClipboard(0))
        return;
    EmptyClipboard();
    SetClipboardData(CF_TEXT, block);
    CloseClipboard();
}

COLORREF controlPixel(HWND window, int id, int x, int y)
{
    RECT rect;
    GetWindowRect(control(window, id), &rect);
    HDC screen = GetDC(0);
    COLORREF colour = GetPixel(screen, rect.left + x, rect.top + y);
    ReleaseDC(0, screen);
    return colour;
}
