// Paths as the installer holds them: ANSI text in 260-byte buffers, folders
// with a trailing backslash; the routines that join, split, resolve and
// compare them. Where a name may lie outside the code page, the same
// routines work on UTF-16 text in 260-character buffers.
#pragma once
#include <windows.h>

enum { PATH_SIZE = MAX_PATH };

// "\" or "/"; callers step over whole characters, so that a trail byte with
// the value of a backslash is never taken for one.
int IsSeparator(char c);
char* AddTrailingSeparator(char* path);
// Joins folder, a backslash where it has none, and name into path; 0,
// leaving path as it was, when the result would not fit.
int JoinPath(char* path, const char* folder, const char* name);
int JoinPath(WCHAR* path, const WCHAR* folder, const WCHAR* name);
// 1 when the folder holds nothing but "." and ".." (or cannot be listed).
int FolderIsEmpty(const char* folder);
char* FileNamePart(char* path);
// The length of the root part of a full path: "C:\" or "\\server\share\".
int RootLength(const char* full);
// Resolves a CSIDL_ special folder into a 260-byte buffer; 0 when it has
// no file-system path.
int ResolveSpecialFolder(HWND owner, int folder, char* buffer);

// The folder as the system resolves it: full, with "." and ".." applied,
// long names, backslashes, and one trailing backslash; 0 when that does not
// fit or, in ANSI, names a character outside the code page.
int SystemFolderPath(const WCHAR* folder, WCHAR* full);
int SystemFolderPath(const char* folder, char* full);
// 1 when inner is outer or lies inside it; both full, with trailing
// backslashes.
int IsSameOrInside(const WCHAR* inner, const WCHAR* outer);
int IsSameOrInside(const char* inner, const char* outer);
// A path as the system gives a handle's final name ("\\?\C:\..." or
// "\\?\UNC\server\share\...") in its usual spelling, into plain (260 bytes).
void WithoutLongPrefix(const char* path, char* plain);

// Where an existing file or folder is on disk, whatever it is called: the
// volume and the file index.
struct FolderPlace {
    DWORD volume;
    DWORD indexHigh;
    DWORD indexLow;
};
// 0 when the folder does not exist or its file system gives no index.
int PlaceOf(const char* folder, FolderPlace* place);
int IsSamePlace(const FolderPlace* one, const FolderPlace* other);
// 1 when both name one existing folder, by whatever spelling.
int IsSameFolder(const char* one, const char* other);
