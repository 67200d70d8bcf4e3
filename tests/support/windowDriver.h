// Drives another program the way a user would, through window messages, and
// reads back what a user would see. Every wait has a deadline, so a test
// that goes wrong ends in seconds.
#pragma once
#include <windows.h>
#include <functional>
#include <string>

struct DrivenProgram {
    PROCESS_INFORMATION process;
    HWND window;  // its visible top-level window that has the control asked for
};

int waitUntil(const std::function<bool()>& condition, DWORD timeout = 5000);

// Starts file (a program beside this driver) and, unless controlId is 0,
// waits for a visible window of it that has that control; 1 when both went.
int startProgram(DrivenProgram* program, const char* file, int controlId, DWORD timeout = 10000);
// Waits for a visible dialog owned by owner that has the control; 0 if none came.
HWND waitForOwnedDialog(HWND owner, int controlId, DWORD timeout = 5000);
// Waits for the program to end, ends it by force after timeout; returns its
// exit code, or -1 when it had to be ended.
int endProgram(DrivenProgram* program, DWORD timeout = 10000);
// Waits until the window's thread has handled what was posted to it so far,
// and what that posted in turn; editId names an edit box of it with text.
int handlePosted(HWND window, int editId);

std::string controlText(HWND window, int id);
int isEnabled(HWND window, int id);
// Clicks a button, which must be enabled (under Wine a disabled button
// would still act on a click message).
int pressButton(HWND window, int id);
