#include "commonControls.h"
#include "folderChoice.h"
#include "installState.h"
#include "statusControl.h"
#include "wizardPages.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    // Before anything could load a DLL by name.
    if (!loadSystemLibraries())
        return 0;
    instanceHandle = GetModuleHandleA(0);
    registerStatusControl();

    static InstallState state;
    GetModuleFileNameA(0, state.setupFolder, PATH_SIZE);
    *FileNamePart(state.setupFolder) = 0;
    state.linkOnDesktop = 1;
    state.linkInStartMenuRoot = 0;
    state.linkInProgramsGroup = 1;
    GetDefaultInstallFolder(state.installFolder);
    AddTrailingSeparator(state.installFolder);
    state.inPlace = lstrcmpiA(state.installFolder, state.setupFolder) == 0;

    runWizard(&state);
    return 0;
}
