// The record that one run of setup carries through every wizard page, and
// the program-wide values that the pages and steps share.
#pragma once
#include <windows.h>

enum { PATH_SIZE = MAX_PATH };

struct InstallState {
    char setupFolder[PATH_SIZE];    // where the files to install lie, with a trailing backslash
    char installFolder[PATH_SIZE];  // with a trailing backslash
    int inPlace;                    // 1: setup runs from the installation folder itself
    int linkOnDesktop;
    int linkInStartMenuRoot;
    int linkInProgramsGroup;
};

extern HINSTANCE instanceHandle;
extern const char productName[];
extern const char appPathsKey[];

// Loads a string table entry as a wvsprintfA format and shows it in a
// message box owned by owner; a missing string shows nothing and gives IDOK.
int ShowTableMessage(HWND owner, UINT id, UINT type, va_list arguments);
void ShowTableError(HWND owner, UINT id, ...);
