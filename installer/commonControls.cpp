#include "commonControls.h"
#include "paths.h"

CommonControls commonControls;

typedef BOOL(WINAPI* SetDefaultDllDirectoriesProc)(DWORD);

int LoadSystemLibraries()
{
    // Without this, a DLL that the shell or COM loads later by name would
    // be looked for in the folder setup runs from first.
    SetDefaultDllDirectoriesProc restrictSearch = (SetDefaultDllDirectoriesProc)GetProcAddress(
        GetModuleHandleA("kernel32.dll"), "SetDefaultDllDirectories");
    if (restrictSearch)
        restrictSearch(LOAD_LIBRARY_SEARCH_SYSTEM32);

    char path[PATH_SIZE];
    UINT length = GetSystemDirectoryA(path, PATH_SIZE);
    if (!length || length >= PATH_SIZE || !JoinPath(path, path, "comctl32.dll"))
        return 0;
    HMODULE library = LoadLibraryA(path);
    if (!library)
        return 0;
    commonControls.propertySheet =
        (decltype(&PropertySheetA))GetProcAddress(library, "PropertySheetA");
    commonControls.createPage =
        (decltype(&CreatePropertySheetPageA))GetProcAddress(library, "CreatePropertySheetPageA");
    commonControls.loadImageList =
        (decltype(&ImageList_LoadImageA))GetProcAddress(library, "ImageList_LoadImageA");
    commonControls.drawImage = (decltype(&ImageList_Draw))GetProcAddress(library, "ImageList_Draw");
    commonControls.destroyImageList =
        (decltype(&ImageList_Destroy))GetProcAddress(library, "ImageList_Destroy");
    return commonControls.propertySheet && commonControls.createPage
        && commonControls.loadImageList && commonControls.drawImage
        && commonControls.destroyImageList;
}
