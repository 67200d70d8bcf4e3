#include "pageHelpers.h"

void KeepPageState(HWND page, LPARAM pageDescription)
{
    SetWindowLongPtrA(page, DWLP_USER, ((PROPSHEETPAGEA*)pageDescription)->lParam);
}

InstallState* PageState(HWND page)
{
    return (InstallState*)GetWindowLongPtrA(page, DWLP_USER);
}

void SetWizardButtons(HWND page, DWORD buttons)
{
    PostMessageA(GetParent(page), PSM_SETWIZBUTTONS, 0, buttons);
}
