// Message boxes from the string table.
#pragma once
#include <windows.h>
#include <stdarg.h>

// The caption of every box, and the name of the program group and links.
extern const char productName[];

// Loads a string table entry as a wvsprintfA format and shows it in an error
// box owned by owner; a missing string shows nothing.
void ShowTableError(HWND owner, UINT id, ...);
