// Watches for the process's message boxes from a thread of its own, reads
// each box's caption, text and owner, and presses its OK button, so that a
// test can check what a user would have read.
#pragma once
#include <windows.h>
#include <string>
#include <vector>

struct SeenMessageBox {
    std::string caption;
    std::string text;
    HWND owner;
};

void startMessageBoxWatcher();
void stopMessageBoxWatcher();
// The boxes seen since the last call, oldest first; waits up to timeout for
// at least count of them.
std::vector<SeenMessageBox> takeMessageBoxes(size_t count = 0, DWORD timeout = 3000);
