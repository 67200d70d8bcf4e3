// The common controls library, loaded from the system folder by full path
// rather than imported, so that a comctl32.dll lying beside Setup.exe (in a
// downloads folder, say) is never loaded in its place.
#pragma once
#include <windows.h>
#include <commctrl.h>
#include <prsht.h>

struct CommonControls {
    decltype(&PropertySheetA) propertySheet;
    decltype(&CreatePropertySheetPageA) createPage;
    decltype(&ImageList_LoadImageA) loadImageList;
    decltype(&ImageList_Draw) drawImage;
    decltype(&ImageList_Destroy) destroyImageList;
};

extern CommonControls commonControls;

// Restricts the DLL search to the system folder where the system allows it
// and loads the common controls; 0 when they are not there.
int LoadSystemLibraries();
