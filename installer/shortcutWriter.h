// Shell links through the shell's link object.
#pragma once
#include <windows.h>

class ShortcutWriter {
public:
    ShortcutWriter();
    ~ShortcutWriter();
    // Writes folder\name.lnk; 0 when that path would not fit or the link
    // could not be saved.
    int CreateIn(const char* folder, const char* name);

    char target[MAX_PATH];
    char description[MAX_PATH];
    char iconPath[MAX_PATH];
    int iconIndex;
    int hasIcon;

private:
    int WriteLink(const char* linkPath);

    int oleInitialized;
};

// The file name of the link called name: name.lnk; 0 when it would not fit.
int LinkFileName(char* fileName, const char* name);
