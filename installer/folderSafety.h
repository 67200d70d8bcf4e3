// Which folders the installation may empty and copy into.
#pragma once
#include <windows.h>

struct InstallState;

// 0 when installFolder may be emptied and filled, with the folder in the
// system's spelling in target (260 bytes, trailing backslash); otherwise
// the string id of the reason, a format for the folder as typed.
UINT RefusalOfFolder(const InstallState* state, char* target);
