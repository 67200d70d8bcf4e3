// The five-page sheet and the pages that have no file of their own.
#pragma once
#include <windows.h>

struct InstallState;

INT_PTR CALLBACK welcomePageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK linksPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK stepsPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK finishPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
// Runs the five-page sheet until it closes.
void runWizard(InstallState* state);
