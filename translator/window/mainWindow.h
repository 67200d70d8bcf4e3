// The main window: dialog 101 and everything the user does in it.
#pragma once
#include <windows.h>

INT_PTR CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
