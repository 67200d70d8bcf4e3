// Watches for the process's message boxes from a thread of its own, reads
// each box's caption, text and owner, and answers it, so that a test can
// check what a user would have read.
#pragma once
#include <windows.h>
#include <string>
#include <vector>

struct SeenMessageBox {
    std::string caption;
    std::string text;
    HWND owner;
};

// Watches the boxes of the given process (by default this one). onSeen, when
// set, runs for each box before it is pressed, while the box is still up.
void startMessageBoxWatcher(DWORD processId = GetCurrentProcessId());
extern void (*onMessageBoxSeen)(HWND box);
// The button pressed where a box offers it (IDOK by default). Elsewhere OK
// is pressed, and a question that no test asked for is refused (Cancel, No).
extern int messageBoxAnswer;
void stopMessageBoxWatcher();
// The boxes seen since the last call, oldest first; waits up to timeout for
// at least count of them.
std::vector<SeenMessageBox> takeMessageBoxes(size_t count = 0, DWORD timeout = 3000);
