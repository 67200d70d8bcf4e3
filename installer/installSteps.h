// The installation run behind Next on the steps page.
#pragma once
#include <windows.h>

struct InstallState;

int RunInstallation(InstallState* state, HWND sheet, HWND page);
void WriteDefaultValue(HKEY root, const char* subkey, const char* text);
void WriteNamedValue(HKEY root, const char* subkey, const char* name, const char* text);
