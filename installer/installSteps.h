// The installation run behind Next on the steps page.
#pragma once
#include <windows.h>

struct InstallState;

int RunInstallation(InstallState* state, HWND sheet, HWND page);
// ERROR_SUCCESS, or the registry's error code.
LONG WriteDefaultValue(HKEY root, const char* subkey, const char* text);
LONG WriteNamedValue(HKEY root, const char* subkey, const char* name, const char* text);
