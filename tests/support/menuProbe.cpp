// A hook that the driver loads into Quorv.exe: it answers the state of an
// item of the window's system menu as a window property, which the driver's
// process can read.
#include <windows.h>

extern "C" __declspec(dllexport) LRESULT CALLBACK menuProbe(int code, WPARAM wParam, LPARAM lParam)
{
    const CWPSTRUCT* call = (const CWPSTRUCT*)lParam;
    if (code == HC_ACTION && call->message == RegisterWindowMessageA("QuorvMenuProbe")) {
        UINT state = GetMenuState(GetSystemMenu(call->hwnd, FALSE), (UINT)call->wParam, MF_BYCOMMAND);
        SetPropA(call->hwnd, "QuorvMenuState", (HANDLE)(UINT_PTR)(state + 1));
    }
    return CallNextHookEx(0, code, wParam, lParam);
}
