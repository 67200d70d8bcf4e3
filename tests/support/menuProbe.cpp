// A hook library that the driver loads into Quorv.exe to read the state
// and text of its system menu, which another process cannot query. The
// answer comes back as window properties and a global atom, both of which
// other processes can read.
#include <windows.h>

static HINSTANCE probeModule;

static LRESULT CALLBACK probeHook(int code, WPARAM wParam, LPARAM lParam)
{
    const CWPSTRUCT* call = (const CWPSTRUCT*)lParam;
    if (code == HC_ACTION && call->message == RegisterWindowMessageA("QuorvMenuProbe")) {
        HMENU menu = GetSystemMenu(call->hwnd, FALSE);
        UINT command = (UINT)call->wParam;
        char text[128] = "";
        GetMenuStringA(menu, command, text, sizeof text, MF_BYCOMMAND);
        SetPropA(call->hwnd, "QuorvMenuState", (HANDLE)(UINT_PTR)(GetMenuState(menu, command, MF_BYCOMMAND) + 1));
        SetPropA(call->hwnd, "QuorvMenuText", (HANDLE)(UINT_PTR)(text[0] ? GlobalAddAtomA(text) : 0));
    }
    return CallNextHookEx(0, code, wParam, lParam);
}

extern "C" __declspec(dllexport) HHOOK installMenuProbe(DWORD threadId)
{
    return SetWindowsHookExA(WH_CALLWNDPROC, probeHook, probeModule, threadId);
}

BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, void*)
{
    if (reason == DLL_PROCESS_ATTACH)
        probeModule = module;
    return TRUE;
}
