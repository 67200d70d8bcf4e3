// How the main window's controls follow its size, its smallest size, and
// its position from one run to the next.
#pragma once
#include <windows.h>

enum { MINIMUM_WINDOW_WIDTH = 474, MINIMUM_WINDOW_HEIGHT = 387 };

void layoutControls(HWND window, int width, int height);
void setMinimumSize(MINMAXINFO* limits);
void storeWindowPosition(HWND window);
void restoreWindowPosition(HWND window);
