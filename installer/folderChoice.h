// The installation folder: the proposal and the folder page.
#pragma once
#include <windows.h>

struct InstallState;

void GetDefaultInstallFolder(char* buffer);
// Takes the typed folder back into the state in its normal form.
void TakeTypedFolder(HWND page, InstallState* state);
INT_PTR CALLBACK FolderPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
