#include "wizardPages.h"

void keepPageState(HWND page, LPARAM pageDescription)
{
    SetWindowLongPtrA(page, DWLP_USER, ((PROPSHEETPAGEA*)pageDescription)->lParam);
}

InstallState* pageState(HWND page)
{
    return (InstallState*)GetWindowLongPtrA(page, DWLP_USER);
}

void setWizardButtons(HWND page, DWORD buttons)
{
    PostMessageA(GetParent(page), PSM_SETWIZBUTTONS, 0, buttons);
}
