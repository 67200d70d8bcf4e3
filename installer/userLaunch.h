// Starts what setup installed as the user who started setup.
#pragma once
#include <windows.h>

// Opens path (a program or a document) through the desktop's shell, which
// runs with the token of the user who logged on, rather than with setup's
// raised one; where no desktop shell answers, opens it directly.
void OpenAsUser(HWND owner, const char* path);
