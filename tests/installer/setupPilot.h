// Plays the user of Setup.exe: lays out a release folder, starts Setup from
// it, and moves through the sheet by its buttons while the message box
// watcher answers its boxes. The driver tests, the setup benchmark and the
// screenshot tour share it.
#pragma once
#include <windows.h>
#include <string>
#include "statusControl.h"
#include "resources/resource.h"

enum Page { WELCOME, FOLDER, LINKS, STEPS, FINISH };
// The wizard buttons that the common controls give the sheet.
enum { BACK_BUTTON = 0x3023, NEXT_BUTTON = 0x3024, FINISH_BUTTON = 0x3025 };

extern const std::string release;  // C:\release\, with a trailing backslash
extern PROCESS_INFORMATION setupProcess;
extern HWND setupSheet;

// 1 once condition holds, polled for up to timeout.
template <class Condition> int waitFor(Condition condition, DWORD timeout = 15000)
{
    for (DWORD start = GetTickCount(); GetTickCount() - start < timeout; Sleep(20))
        if (condition())
            return 1;
    return 0;
}

// Setup.exe beside a stand-in for Quorv.exe (this program's launchRecorder
// neighbour), a readme, and names that a faithful copy must keep.
void prepareRelease();
// Ends a Setup left from before, starts path; 1 once its sheet shows.
int startSetup(const std::string& path);
int setupEnded(DWORD timeout = 10000);
// Ends Setup if it still runs, so that no failed check leaves it behind.
void endSetup();
int pageIndex();
int waitForPage(int index);
int buttonReady(int id);
// Presses a sheet button the way a user can: only when it shows, enabled.
int press(int id);
std::string pageText(int id);
void setPageText(int id, const std::string& text);
void setCheck(int id, int value);  // -1 leaves the box as it is
int rowState(int row);             // of the steps page, shown or not

struct Choices {
    std::string folder;  // empty: keep the proposal
    int desktop = -1, startMenuRoot = -1, group = -1;
};

struct Outcome {
    std::string proposal;
    int welcomeBack;    // Back usable on the welcome page
    int rowsBefore[2];  // rows 0 and 1 as the steps page shows
    int labelsEnabled;  // of rows 0 and 1
    int reached;        // the page shown once the installation ended
    int rows[3];
    DWORD installMilliseconds;  // from Next on the steps page to the page reached
};

// From the start of setupPath through Next on the steps page; reached is
// the page where it stopped.
Outcome installWith(const std::string& setupPath, const Choices& choices);
