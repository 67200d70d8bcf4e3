// Which folders the installation may empty and copy into.
#pragma once
#include <windows.h>

struct InstallState;

// 1 when installFolder may be emptied and filled, with the folder in the
// system's spelling in target (260 bytes, trailing backslash); otherwise
// shows the reason, owned by owner, and returns 0.
int checkInstallFolder(HWND owner, const InstallState* state, char* target);
