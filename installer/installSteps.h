// The installation run behind Next on the steps page.
#pragma once
#include <windows.h>

struct InstallState;

int RunInstallation(InstallState* state, HWND sheet, HWND page);
