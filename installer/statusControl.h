// The "InstallStatus32" control: one step's glyph on the steps page.
#pragma once
#include <windows.h>

enum StepState { STEP_DONE = 0, STEP_SKIPPED = 1, STEP_RUNNING = 2, STEP_FAILED = 3, STEP_NONE = 255 };
// The steps page's rows, top to bottom.
enum StepRow { ROW_EMPTY = 0, ROW_COPY = 1, ROW_LINKS = 2, ROW_COUNT = 3 };

void RegisterStatusControl();
void SetStepState(HWND page, int row, int state);
