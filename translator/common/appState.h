// Handles that the whole main program uses by name.
#pragma once
#include <windows.h>

// Module handle every resource is loaded from.
extern HINSTANCE instanceHandle;
// The main window: owner of every message box and target of the worker's
// status texts and wake-up; null before it exists and after it has ended.
extern HWND mainWindow;
