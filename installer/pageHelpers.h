// What the wizard's pages share: the state pointer in each page's user
// slot, and the sheet's buttons.
#pragma once
#include <windows.h>
#include <prsht.h>

struct InstallState;

void KeepPageState(HWND page, LPARAM pageDescription);
InstallState* PageState(HWND page);
void SetWizardButtons(HWND page, DWORD buttons);
