#include "shortcutWriter.h"
#include "paths.h"
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

int LinkFileName(char* fileName, const char* name)
{
    if (lstrlenA(name) + lstrlenA(".lnk") >= PATH_SIZE)
        return 0;
    wsprintfA(fileName, "%s.lnk", name);
    return 1;
}

int ShortcutWriter::CreateIn(const char* folder, const char* name)
{
    char fileName[PATH_SIZE];
    char path[PATH_SIZE];
    return LinkFileName(fileName, name) && JoinPath(path, folder, fileName) && WriteLink(path);
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
