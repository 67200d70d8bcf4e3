// What the wizard's pages share: the state pointer in each page's user
// slot, and the sheet's buttons.
#pragma once
#include <windows.h>
#include <prsht.h>

struct InstallState;

void keepPageState(HWND page, LPARAM pageDescription);
InstallState* pageState(HWND page);
void setWizardButtons(HWND page, DWORD buttons);

INT_PTR CALLBACK welcomePageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK linksPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK stepsPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK finishPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
// Runs the five-page sheet until it closes.
void runWizard(InstallState* state);
