#include "setupGlobals.h"

HINSTANCE instanceHandle;
const char appPathsKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Quorv.exe";
HFONT stepFont;
