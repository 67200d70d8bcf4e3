#include "linksStep.h"
#include "fileOperationBatch.h"
#include "installState.h"
#include "paths.h"
#include "setupMessages.h"
#include "shippedFiles.h"
#include "shortcutWriter.h"
#include <shlobj.h>

// 1 when folder\name exists and was queued for removal.
static int queueExistingLink(FileOperationBatch* batch, HWND owner, int folder, const char* name)
{
    char path[PATH_SIZE];
    // An unresolved folder holds nothing to remove; its name alone would be
    // looked up in the current folder.
    if (!ResolveSpecialFolder(owner, folder, path) || !JoinPath(path, path, name))
        return 0;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(path, &found);
    if (search == INVALID_HANDLE_VALUE)
        return 0;
    FindClose(search);
    return batch->Append(SOURCE_LIST, path);
}

// One place for the program's link: made there when chosen, else queued for
// removal.
static int handleProgramLink(ShortcutWriter* writer, FileOperationBatch* removals, HWND owner,
                             int chosen, int folder, int* removalsPending)
{
    if (!chosen) {
        char link[PATH_SIZE];
        if (LinkFileName(link, productName) && queueExistingLink(removals, owner, folder, link))
            *removalsPending = 1;
        return 1;
    }
    char path[PATH_SIZE];
    return ResolveSpecialFolder(owner, folder, path) && writer->CreateIn(path, productName);
}

// The program group: emptied or made, then filled. -1 when it could not be
// emptied, which ends the links step.
static int handleProgramGroup(ShortcutWriter* writer, const InstallState* state, HWND owner)
{
    char programs[PATH_SIZE];
    char group[PATH_SIZE];
    char readme[PATH_SIZE];
    // Each link in the group checks that its own path fits.
    if (!JoinPath(readme, state->installFolder, README_FILE)
        || !ResolveSpecialFolder(owner, CSIDL_PROGRAMS, programs) || !JoinPath(group, programs, productName))
        return 0;
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
    return writer->CreateIn(group, README_FILE) && made;
}

int CreateLinks(HWND owner, const InstallState* state)
{
    ShortcutWriter writer;
    FileOperationBatch removals;
    int succeeded = 1;
    int removalsPending = 0;
    if (!JoinPath(writer.target, state->installFolder, PROGRAM_FILE))
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
    } else if (queueExistingLink(&removals, owner, CSIDL_PROGRAMS, productName)) {
        removalsPending = 1;
    }
    if (removalsPending && !removals.Run(0, FO_DELETE, FOF_NOCONFIRMATION))
        succeeded = 0;
    if (removals.outOfMemory)
        succeeded = 0;
    return succeeded;
}
