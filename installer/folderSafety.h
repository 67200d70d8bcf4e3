// Which folders the installation may empty and copy into.
#pragma once
#include <windows.h>

struct InstallState;

// 0 when installFolder may be emptied and filled, with the folder in the
// system's spelling in target (260 bytes, trailing backslash); otherwise
// the string id of the reason, a format for the folder as typed.
UINT refusalOfFolder(const InstallState* state, char* target);
// A path as the system gives a handle's final name ("\\?\C:\..." or
// "\\?\UNC\server\share\...") in its usual spelling, into plain (260 bytes).
void withoutLongPrefix(const char* path, char* plain);
