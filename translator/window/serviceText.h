// The service's text is Windows-1252 whatever the system's code page; the
// window's controls hold UTF-16. Every crossing between the two goes here.
#pragma once
#include <windows.h>

// text (Windows-1252) in UTF-16, in a buffer that the next call reuses.
const WCHAR* serviceTextToWide(const char* text);
void setServiceText(HWND window, int id, const char* text);
// Reads the control's text into text (size bytes) in Windows-1252. A
// character that Windows-1252 lacks is named to the user (message 16), and
// 0 returned.
int getServiceText(HWND window, int id, char* text, int size);
