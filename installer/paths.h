// Paths as the installer holds them: ANSI text in 260-byte buffers, folders
// with a trailing backslash; the routines that join and split them.
#pragma once
#include <windows.h>

enum { PATH_SIZE = MAX_PATH };

// "\" or "/"; callers step over whole characters, so that a trail byte with
// the value of a backslash is never taken for one.
int isSeparator(char c);
char* AddTrailingSeparator(char* path);
// Joins folder, a backslash where it has none, and name into path (260
// bytes); 0, leaving path as it was, when the result would not fit.
int JoinPath(char* path, const char* folder, const char* name);
// 1 when the folder holds nothing but "." and ".." (or cannot be listed).
int FolderIsEmpty(const char* folder);
char* FileNamePart(char* path);
// Resolves a CSIDL_ special folder into a 260-byte buffer; 0 when it has
// no file-system path.
int resolveSpecialFolder(HWND owner, int folder, char* buffer);
