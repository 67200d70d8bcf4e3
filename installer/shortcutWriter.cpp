#include "shortcutWriter.h"
#include "fileOperationBatch.h"
#include "installState.h"
#include "paths.h"
#include "setupMessages.h"
#include <shlobj.h>

static const CLSID shellLinkClass = { 0x00021401, 0, 0, { 0xC0, 0, 0, 0, 0, 0, 0, 0x46 } };
static const IID shellLinkInterface = { 0x000214EE, 0, 0, { 0xC0, 0, 0, 0, 0, 0, 0, 0x46 } };
static const IID persistFileInterface = { 0x0000010B, 0, 0, { 0xC0, 0, 0, 0, 0, 0, 0, 0x46 } };

ShortcutWriter::ShortcutWriter() : iconIndex(0), hasIcon(0)
{
    oleInitialized = SUCCEEDED(OleInitialize(0));
    target[0] = 0;
    description[0] = 0;
    iconPath[0] = 0;
}

// Every way out of the links step ends here; only a successful
// initialisation is balanced.
ShortcutWriter::~ShortcutWriter()
{
    if (oleInitialized)
        OleUninitialize();
}

int ShortcutWriter::CreateIn(const char* folder, const char* name)
{
    char path[PATH_SIZE];
    lstrcpynA(path, folder, PATH_SIZE);
    AddTrailingSeparator(path);
    if (lstrlenA(path) + lstrlenA(name) + 4 >= PATH_SIZE)
        return 0;
    lstrcatA(path, name);
    lstrcatA(path, ".lnk");
    return WriteLink(path);
}

int ShortcutWriter::WriteLink(const char* linkPath)
{
    IShellLinkA* link = 0;
    if (FAILED(CoCreateInstance(shellLinkClass, 0, CLSCTX_INPROC_SERVER, shellLinkInterface,
                                (void**)&link)))
        return 0;
    link->SetPath(target);
    link->SetDescription(description);
    if (hasIcon)
        link->SetIconLocation(iconPath, iconIndex);
    IPersistFile* file = 0;
    int saved = 0;
    if (SUCCEEDED(link->QueryInterface(persistFileInterface, (void**)&file))) {
        WCHAR widePath[PATH_SIZE];
        if (MultiByteToWideChar(CP_ACP, 0, linkPath, -1, widePath, PATH_SIZE))
            saved = file->Save(widePath, TRUE) == S_OK;
        file->Release();
    }
    link->Release();
    return saved;
}

int QueueExistingLink(FileOperationBatch* batch, HWND owner, int folder, const char* name)
{
    char path[PATH_SIZE];
    // An unresolved folder holds nothing to remove; its name alone would be
    // looked up in the current folder.
    if (!resolveSpecialFolder(owner, folder, path) || !AddTrailingSeparator(path)
        || lstrlenA(path) + lstrlenA(name) >= PATH_SIZE)
        return 0;
    lstrcatA(path, name);
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(path, &found);
    if (search == INVALID_HANDLE_VALUE)
        return 0;
    FindClose(search);
    return batch->Append(SOURCE_LIST, path);
}

// One place for Quorvel.lnk: made there when chosen, else queued for removal.
static int handleProgramLink(ShortcutWriter* writer, FileOperationBatch* removals, HWND owner,
                             int chosen, int folder, int* removalsPending)
{
    if (!chosen) {
        if (QueueExistingLink(removals, owner, folder, "Quorvel.lnk"))
            *removalsPending = 1;
        return 1;
    }
    char path[PATH_SIZE];
    return resolveSpecialFolder(owner, folder, path) && writer->CreateIn(path, productName);
}

// The program group: emptied or made, then filled. -1 when it could not be
// emptied, which ends the links step.
static int handleProgramGroup(ShortcutWriter* writer, const InstallState* state, HWND owner)
{
    char group[PATH_SIZE];
    char readme[PATH_SIZE];
    if (!JoinPath(readme, state->installFolder, "Readme.txt")
        || !resolveSpecialFolder(owner, CSIDL_PROGRAMS, group) || !AddTrailingSeparator(group)
        || lstrlenA(group) + 16 >= PATH_SIZE)
        return 0;
    lstrcatA(group, productName);
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(group, &found);
    if (search == INVALID_HANDLE_VALUE) {
        CreateDirectoryA(group, 0);
    } else {
        FindClose(search);
        char pattern[PATH_SIZE];
        FileOperationBatch emptying;
        // FOF_WANTNUKEWARNING: what cannot go to the Recycle Bin is only
        // deleted for good once the user agreed; a No leaves the group's
        // old links behind, which ends the step.
        if (!JoinPath(pattern, group, "*.*") || !emptying.Append(SOURCE_LIST, pattern)
            || !emptying.Run(owner, FO_DELETE, FOF_NOCONFIRMATION | FOF_ALLOWUNDO | FOF_WANTNUKEWARNING)
            || !FolderIsEmpty(group))
            return -1;
    }
    int made = writer->CreateIn(group, productName);
    lstrcpyA(writer->target, readme);
    return writer->CreateIn(group, "Readme.txt") && made;
}

int CreateLinks(HWND owner, const InstallState* state)
{
    ShortcutWriter writer;
    FileOperationBatch removals;
    int succeeded = 1;
    int removalsPending = 0;
    if (!JoinPath(writer.target, state->installFolder, "Quorv.exe"))
        return 0;

    succeeded &= handleProgramLink(&writer, &removals, owner, state->linkOnDesktop,
                                   CSIDL_DESKTOPDIRECTORY, &removalsPending);
    succeeded &= handleProgramLink(&writer, &removals, owner, state->linkInStartMenuRoot,
                                   CSIDL_STARTMENU, &removalsPending);
    if (state->linkInProgramsGroup) {
        int group = handleProgramGroup(&writer, state, owner);
        if (group < 0)
            return 0;
        succeeded &= group;
    } else if (QueueExistingLink(&removals, owner, CSIDL_PROGRAMS, productName)) {
        removalsPending = 1;
    }
    if (removalsPending && !removals.Run(0, FO_DELETE, FOF_NOCONFIRMATION))
        succeeded = 0;
    if (removals.outOfMemory)
        succeeded = 0;
    return succeeded;
}
