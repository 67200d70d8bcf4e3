#include "appState.h"

HINSTANCE instanceHandle;
HWND mainWindow;
