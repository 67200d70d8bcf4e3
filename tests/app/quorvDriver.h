// Works the real Quorv.exe as a user would and reads back what a user would
// see: its lists, its system menu, its settings and the clipboard.
#pragma once
#include <cstdlib>
#include <cstring>
#include <string>
#include "bytes.h"
#include "messageBoxWatcher.h"
#include "resource.h"
#include "windowDriver.h"

inline bool germanUser()
{
    const char* language = getenv("QUORV_EXPECT_LANGUAGE");
    return language && !strcmp(language, "de");
}

inline const char* inLanguage(const char* english, const char* german)
{
    return germanUser() ? german : english;
}

// A run of Quorv.exe (or a test build of it) for one test, its message
// boxes watched. The registry and the report file are cleaned before and
// after; closed the ordinary way, it must end with exit code 0.
struct QuorvSession {
    DrivenProgram program;
    HWND window;
    HHOOK menuProbe;
    explicit QuorvSession(const char* file = "Quorv.exe", bool freshRegistry = true);
    void close();
    ~QuorvSession();
};

// Replaces the input box's text as pasting would, so that the box's limit
// and its change notification apply.
void typeText(HWND window, const std::string& text);
void typeCharacter(HWND window, char c);
// Picks an entry as a user would: selection, then the change notification.
int chooseLanguage(HWND window, int listId, const char* name);
// The text of an entry of a list; position -1 stands for the selected one.
std::string listEntry(HWND window, int listId, int position = -1);
int listCount(HWND window, int listId);
// State (MF_ flags; -1 when it cannot be read) and text of an item of the
// window's system menu, read from inside Quorv.exe.
int systemMenuItem(QuorvSession* session, UINT command, std::string* text = 0);
RECT controlRect(HWND window, int id);
// The colour of a screen pixel, relative to a control's top left corner.
COLORREF controlPixel(HWND window, int id, int x, int y);

const char* const SettingsKey = "Software\\Velmora\\Quorvel\\Settings";
void deleteProductKeys();
int keyExists(const char* path);
// The value's bytes, or "<missing>".
std::string readSetting(const char* name, DWORD* type = 0);
void writeSetting(const char* name, DWORD type, const void* data, DWORD size);

std::string clipboardText();
