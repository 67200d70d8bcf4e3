#include "commonControls.h"
#include "folderChoice.h"
#include "installState.h"
#include "setupMessages.h"
#include "setupGlobals.h"
#include "statusControl.h"
#include "wizard.h"
#include "resources/resource.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    // Before anything could load a DLL by name.
    if (!LoadSystemLibraries())
        return 0;
    instanceHandle = GetModuleHandleA(0);
    RegisterStatusControl();

    static InstallState state;
    // A cut path would name another folder to copy from.
    DWORD length = GetModuleFileNameA(0, state.setupFolder, PATH_SIZE);
    if (!length || length >= PATH_SIZE) {
        ShowTableError(0, IDS_SETUP_PATH_TOO_LONG);
        return 0;
    }
    *FileNamePart(state.setupFolder) = 0;
    state.linkOnDesktop = 1;
    state.linkInStartMenuRoot = 0;
    state.linkInProgramsGroup = 1;
    GetDefaultInstallFolder(state.installFolder);
    AddTrailingSeparator(state.installFolder);
    state.inPlace = IsSameFolder(state.installFolder, state.setupFolder);

    RunWizard(&state);
    return 0;
}
