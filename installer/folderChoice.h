// The installation folder: the proposal and the folder page.
#pragma once
#include <windows.h>

struct InstallState;

void ReadInstalledPath(char* buffer);
void GetDefaultInstallFolder(char* buffer);
// Takes the typed folder back into the state in its normal form.
void takeTypedFolder(HWND page, InstallState* state);
INT_PTR CALLBACK folderPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
