// Starts the real Quorv.exe and works it the way a user would, through
// window messages, and reads back what a user would see.
#pragma once
#include <windows.h>
#include <functional>
#include <string>
#include <vector>

struct QuorvProcess {
    PROCESS_INFORMATION process;
    HWND window;
    HHOOK menuProbe;
};

// Starts program (a file beside this driver) and waits for its main window.
int startQuorv(QuorvProcess* quorv, const char* program = "Quorv.exe");
// Closes the window the ordinary way; returns the exit code, or -1.
int closeQuorv(QuorvProcess* quorv);
// Waits for the process to end by itself; returns the exit code, or -1.
int waitForExit(QuorvProcess* quorv, DWORD timeout = 10000);

HWND control(HWND window, int id);
std::string windowText(HWND window);
std::string controlText(HWND window, int id);
int isEnabled(HWND window, int id);
// Replaces the input box's text as pasting would, so the box's limit and
// its change notification apply.
void typeText(HWND window, const std::string& text);
void typeCharacter(HWND window, char c);
// Presses a button, which must be enabled (a disabled one would still act
// under Wine).
int pressButton(HWND window, int id);
// Picks an entry as a user would: selection, then the change notification.
int chooseLanguage(HWND window, int listId, const char* name);
std::string selectedEntry(HWND window, int listId);
std::vector<std::string> listEntries(HWND window, int listId);
void systemCommand(HWND window, UINT command);
// State (MF_ flags; -1 when it cannot be read) and text of an item of the
// window's system menu, read from inside Quorv.exe.
int systemMenuItem(QuorvProcess* quorv, UINT command, std::string* text = 0);
RECT controlRect(HWND window, int id);

int waitUntil(const std::function<bool()>& condition, DWORD timeout = 5000);

// The settings key of the current user.
const char* const SettingsKey = "Software\\Velmora\\Quorvel\\Settings";
void deleteProductKeys();
int keyExists(const char* path);
int readSetting(const char* name, DWORD* type, std::string* data);
void writeSetting(const char* name, DWORD type, const void* data, DWORD size);

std::string clipboardText();
void setClipboardText(const std::string& text);
// The colour of a screen pixel, relative to a control's top left corner.
COLORREF controlPixel(HWND window, int id, int x, int y);
