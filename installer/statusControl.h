// The "InstallStatus32" control: one step's glyph on the steps page.
#pragma once
#include <windows.h>

enum StepState { STEP_DONE = 0, STEP_SKIPPED = 1, STEP_RUNNING = 2, STEP_FAILED = 3, STEP_NONE = 255 };
enum { ISM_SETSTATE = WM_USER + 1 };

extern HFONT stepFont;  // the steps page's bold font, for the running step's label

void registerStatusControl();
void SetStepState(HWND page, int row, int state);
