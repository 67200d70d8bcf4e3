// The links step: Quorvel.lnk on the desktop and in the start menu, and the
// program group, each made where the user chose it and removed elsewhere.
#pragma once
#include <windows.h>

struct InstallState;

// 1 when every chosen link was made and every other one removed.
int CreateLinks(HWND owner, const InstallState* state);
