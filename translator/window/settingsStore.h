// The options and the window position in the current user's registry.
#pragma once
#include <windows.h>

// The subkey of the product key that holds the options and the position.
extern const char settingsKey[];

extern DWORD alwaysOnTop;
extern DWORD autoCopy;

int openProductKey();
void closeProductKey();
// size: in, the buffer's size; out, the value's size.
int readBinaryValue(const char* subkey, const char* name, void* buffer, DWORD* size);
int writeBinaryValue(const char* subkey, const char* name, const void* data, DWORD size);
void loadSettings();
void saveSettings();
