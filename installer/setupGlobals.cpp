#include "setupGlobals.h"
#include "shippedFiles.h"

HINSTANCE instanceHandle;
const char appPathsKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\" PROGRAM_FILE;
HFONT stepFont;
