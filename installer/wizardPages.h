// What the wizard's pages share: the state pointer in each page's user
// slot, and the sheet's buttons.
#pragma once
#include <windows.h>
#include <prsht.h>

struct InstallState;

void keepPageState(HWND page, LPARAM pageDescription);
InstallState* pageState(HWND page);
void setWizardButtons(HWND page, DWORD buttons);
