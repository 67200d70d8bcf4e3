// How the main window's controls follow its size, its smallest size, and
// its position from one run to the next.
#pragma once
#include <windows.h>

void layoutControls(HWND window, int width, int height);
void setMinimumSize(MINMAXINFO* limits);
void storeWindowPosition(HWND window);
void restoreWindowPosition(HWND window);
// The work area of the monitor that shows most of rect, or of the nearest.
RECT workAreaNear(const RECT& rect);
// Moves rect, keeping its size, into area as far as it fits.
void moveInto(RECT* rect, const RECT& area);
