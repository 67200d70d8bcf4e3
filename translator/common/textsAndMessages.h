// Message boxes from the string table, system error texts, and the texts
// kept in memory for the whole run.
#pragma once
#include <windows.h>

enum { ERROR_TEXT_SIZE = 1024, CONTACT_PAGE_SIZE = 260 };

extern const char productName[];
extern const char supportAddress[];
extern char errorTextBuffer[ERROR_TEXT_SIZE];
extern char contactPage[CONTACT_PAGE_SIZE];

// Loads string id into buffer, the empty text when there is none; returns
// its length.
int loadText(UINT id, char* buffer, int size);
// String 1 with the code and the support address, in errorTextBuffer: the
// text for an error code that has none of its own.
char* errorCodeText(int code);
void reportError(UINT id, ...);
// The system's text for code; -1 stands for GetLastError().
char* systemErrorText(int code);
// Sets string id into the main window's status line.
void showStatusText(UINT id);
