// Shell links through the shell's link object, and the links step.
#pragma once
#include <windows.h>

struct InstallState;

class ShortcutWriter {
public:
    ShortcutWriter();
    ~ShortcutWriter();
    int CreateIn(const char* folder, const char* name);
    int WriteLink(const char* linkPath);

    char target[MAX_PATH];
    char description[MAX_PATH];
    char iconPath[MAX_PATH];
    int iconIndex;
    int hasIcon;

private:
    int oleInitialized;
};

class FileOperationBatch;
int QueueExistingLink(FileOperationBatch* batch, HWND owner, int folder, const char* name);
int CreateLinks(HWND owner, const InstallState* state);
