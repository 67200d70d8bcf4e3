// The installation folder: the proposal, the folder page, and the path
// routines that join and split paths for the whole installer.
#pragma once
#include <windows.h>

char* AddTrailingSeparator(char* path);
// Joins folder, a backslash where it has none, and name into path (260
// bytes); 0, leaving path as it was, when the result would not fit.
int JoinPath(char* path, const char* folder, const char* name);
// 1 when the folder holds nothing but "." and ".." (or cannot be listed).
int FolderIsEmpty(const char* folder);
char* FileNamePart(char* path);
void ReadInstalledPath(char* buffer);
void GetDefaultInstallFolder(char* buffer);
// Resolves a CSIDL_ special folder into a 260-byte buffer; 0 when it has
// no file-system path.
int resolveSpecialFolder(HWND owner, int folder, char* buffer);
// Takes the typed folder back into the state in its normal form.
struct InstallState;
void takeTypedFolder(HWND page, InstallState* state);
INT_PTR CALLBACK folderPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
