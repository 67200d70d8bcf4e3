#include "userLaunch.h"
#include "paths.h"
#include <exdisp.h>
#include <shldisp.h>
#include <shlguid.h>
#include <shlobj.h>

typedef BSTR(WINAPI* AllocateTextFunction)(const OLECHAR*);
typedef void(WINAPI* FreeTextFunction)(BSTR);

static void release(IUnknown* object)
{
    if (object)
        object->Release();
}

// The desktop's shell object, reached through the desktop window's folder
// view; 0 where no desktop shell runs.
static IShellDispatch2* desktopShell()
{
    IShellWindows* windows = 0;
    if (FAILED(CoCreateInstance(CLSID_ShellWindows, 0, CLSCTX_LOCAL_SERVER, IID_IShellWindows, (void**)&windows)))
        return 0;
    VARIANT location = {};
    location.vt = VT_I4;
    location.lVal = CSIDL_DESKTOP;
    VARIANT root = {};
    long window = 0;
    IDispatch* desktop = 0;
    HRESULT found = windows->FindWindowSW(&location, &root, SWC_DESKTOP, &window, SWFO_NEEDDISPATCH, &desktop);
    windows->Release();
    if (found != S_OK || !desktop)
        return 0;
    IServiceProvider* services = 0;
    IShellBrowser* browser = 0;
    IShellView* view = 0;
    IDispatch* background = 0;
    IShellFolderViewDual* folderView = 0;
    IDispatch* application = 0;
    IShellDispatch2* shell = 0;
    if (SUCCEEDED(desktop->QueryInterface(IID_IServiceProvider, (void**)&services))
        && SUCCEEDED(services->QueryService(SID_STopLevelBrowser, IID_IShellBrowser, (void**)&browser))
        && SUCCEEDED(browser->QueryActiveShellView(&view))
        && SUCCEEDED(view->GetItemObject(SVGIO_BACKGROUND, IID_IDispatch, (void**)&background))
        && SUCCEEDED(background->QueryInterface(IID_IShellFolderViewDual, (void**)&folderView))
        && SUCCEEDED(folderView->get_Application(&application)))
        application->QueryInterface(IID_IShellDispatch2, (void**)&shell);
    release(application);
    release(folderView);
    release(background);
    release(view);
    release(browser);
    release(services);
    desktop->Release();
    return shell;
}

static int openThroughDesktop(const char* path)
{
    WCHAR widePath[PATH_SIZE];
    char library[PATH_SIZE];
    UINT length = GetSystemDirectoryA(library, PATH_SIZE);
    if (!MultiByteToWideChar(CP_ACP, 0, path, -1, widePath, PATH_SIZE) || !length
        || !JoinPath(library, library, "oleaut32.dll"))
        return 0;
    // By full path, like every library setup loads itself.
    HMODULE automation = LoadLibraryA(library);
    if (!automation)
        return 0;
    AllocateTextFunction allocateText = (AllocateTextFunction)(void*)GetProcAddress(automation, "SysAllocString");
    FreeTextFunction freeText = (FreeTextFunction)(void*)GetProcAddress(automation, "SysFreeString");
    HRESULT opened = E_FAIL;
    int comInitialized = SUCCEEDED(OleInitialize(0));
    IShellDispatch2* shell = allocateText && freeText ? desktopShell() : 0;
    if (shell) {
        BSTR file = allocateText(widePath);
        VARIANT none = {};
        VARIANT show = {};
        show.vt = VT_I4;
        show.lVal = SW_SHOW;
        if (file)
            opened = shell->ShellExecute(file, none, none, none, show);
        freeText(file);
        shell->Release();
    }
    if (comInitialized)
        OleUninitialize();
    FreeLibrary(automation);
    return SUCCEEDED(opened);
}

void OpenAsUser(HWND owner, const char* path)
{
    if (!openThroughDesktop(path))
        ShellExecuteA(owner, 0, path, 0, 0, SW_SHOW);
}
