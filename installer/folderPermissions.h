// The permissions of the installation folder that setup creates.
#pragma once
#include <windows.h>

// The permissions of a program folder: only Administrators and SYSTEM may
// change it, Users may read and run it, and nothing is inherited from the
// folder above. 0 when it cannot be built; else free it with LocalFree.
int ProgramFolderAccess(PSECURITY_DESCRIPTOR* access);
// Creates folder (full, without its trailing backslash) and any missing
// folder above it. Outside the user's own profile the folder gets a
// program folder's permissions, so that no other user can change the
// program or put a DLL beside it; inside, it takes the profile's. 0 when
// either could not be done.
int MakeInstallFolder(const char* folder);
