// The five-page sheet; the pages without a file of their own are here too.
#pragma once
#include <windows.h>

struct InstallState;

INT_PTR CALLBACK StepsPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
// Runs the five-page sheet until it closes.
void RunWizard(InstallState* state);
