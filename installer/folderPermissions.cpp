#include "folderPermissions.h"
#include "paths.h"
#include <sddl.h>
#include <shlobj.h>

// Full control for SYSTEM and Administrators, read and execute for Users,
// for the folder and everything that will lie in it; "P": nothing from the
// folder above, which on a drive's root lets every user create and change
// files.
static const char programFolderAccess[] = "D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;0x1200a9;;;BU)";

int ProgramFolderAccess(PSECURITY_DESCRIPTOR* access)
{
    *access = 0;
    return ConvertStringSecurityDescriptorToSecurityDescriptorA(programFolderAccess, SDDL_REVISION_1, access, 0);
}

static int insideProfile(const char* folder)
{
    char profile[PATH_SIZE];
    char full[PATH_SIZE];
    return ResolveSpecialFolder(0, CSIDL_PROFILE, profile) && SystemFolderPath(profile, full)
        && IsSameOrInside(folder, full);
}

int MakeInstallFolder(const char* folder)
{
    char parent[PATH_SIZE];
    lstrcpyA(parent, folder);
    *FileNamePart(parent) = 0;
    if (GetFileAttributesA(parent) == INVALID_FILE_ATTRIBUTES && SHCreateDirectoryExA(0, parent, 0) != ERROR_SUCCESS)
        return 0;
    if (insideProfile(folder))
        return CreateDirectoryA(folder, 0);
    PSECURITY_DESCRIPTOR access;
    if (!ProgramFolderAccess(&access))
        return 0;
    SECURITY_ATTRIBUTES attributes = { sizeof attributes, access, FALSE };
    int made = CreateDirectoryA(folder, &attributes);
    LocalFree(access);
    return made;
}
