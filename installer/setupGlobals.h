// What the whole of setup uses by name.
#pragma once
#include <windows.h>

// Module handle every resource is loaded from.
extern HINSTANCE instanceHandle;
// The registry key under HKEY_LOCAL_MACHINE that records the installation.
extern const char appPathsKey[];
// The steps page's bold font, for the running step's label; made with the
// page and deleted with it.
extern HFONT stepFont;
