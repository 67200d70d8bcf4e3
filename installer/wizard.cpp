#include "wizard.h"
#include "commonControls.h"
#include "folderChoice.h"
#include "installState.h"
#include "installSteps.h"
#include "setupGlobals.h"
#include "shippedFiles.h"
#include "statusControl.h"
#include "userLaunch.h"
#include "pageHelpers.h"
#include "resources/resource.h"

enum { PAGE_COUNT = 5, TITLE_POINTS = 22, STEP_FONT_POINTS = 7, GLOBE_SIZE = 70 };

static int pixelsPerInch(HWND page)
{
    HDC dc = GetDC(page);
    int pixels = GetDeviceCaps(dc, LOGPIXELSY);
    ReleaseDC(page, dc);
    return pixels;
}

static void initWelcomePage(HWND page, LPARAM pageDescription)
{
    KeepPageState(page, pageDescription);
    HFONT title = CreateFontA(-MulDiv(TITLE_POINTS, pixelsPerInch(page), 72), 0, 0, 0, FW_DONTCARE,
                              FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                              CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, "Verdana");
    SendDlgItemMessageA(page, IDC_TITLE, WM_SETFONT, (WPARAM)title, FALSE);
    HANDLE globe = LoadImageA(instanceHandle, MAKEINTRESOURCEA(IDI_GLOBE), IMAGE_ICON, GLOBE_SIZE,
                              GLOBE_SIZE, LR_CREATEDIBSECTION);
    SendDlgItemMessageA(page, IDC_GLOBE, STM_SETIMAGE, IMAGE_ICON, (LPARAM)globe);
}

static INT_PTR CALLBACK welcomePageProc(HWND page, UINT message, WPARAM, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        initWelcomePage(page, lParam);
        return FALSE;
    case WM_NOTIFY:
        if (((NMHDR*)lParam)->code == PSN_SETACTIVE)
            SetWizardButtons(page, PSWIZB_NEXT);
        return FALSE;
    case WM_DESTROY:
        DeleteObject((HFONT)SendDlgItemMessageA(page, IDC_TITLE, WM_GETFONT, 0, 0));
        DestroyIcon((HICON)SendDlgItemMessageA(page, IDC_GLOBE, STM_GETIMAGE, IMAGE_ICON, 0));
        return FALSE;
    }
    return FALSE;
}

static void showLinkChoices(HWND page, const InstallState* state)
{
    CheckDlgButton(page, IDC_LINK_DESKTOP, state->linkOnDesktop ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(page, IDC_LINK_START_ROOT, state->linkInStartMenuRoot ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(page, IDC_LINK_GROUP, state->linkInProgramsGroup ? BST_CHECKED : BST_UNCHECKED);
    SetWizardButtons(page, PSWIZB_BACK | PSWIZB_NEXT);
}

static void takeLinkChoices(HWND page, InstallState* state)
{
    state->linkOnDesktop = IsDlgButtonChecked(page, IDC_LINK_DESKTOP) == BST_CHECKED;
    state->linkInStartMenuRoot = IsDlgButtonChecked(page, IDC_LINK_START_ROOT) == BST_CHECKED;
    state->linkInProgramsGroup = IsDlgButtonChecked(page, IDC_LINK_GROUP) == BST_CHECKED;
}

static INT_PTR linksPageNotify(HWND page, NMHDR* header)
{
    switch (header->code) {
    case PSN_SETACTIVE:
        showLinkChoices(page, PageState(page));
        return FALSE;
    case PSN_WIZNEXT:
    case PSN_WIZBACK:
        // Leaving by Back keeps the choices too.
        takeLinkChoices(page, PageState(page));
        return TRUE;
    }
    return FALSE;
}

static INT_PTR CALLBACK linksPageProc(HWND page, UINT message, WPARAM, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        KeepPageState(page, lParam);
        return FALSE;
    case WM_NOTIFY:
        return linksPageNotify(page, (NMHDR*)lParam);
    }
    return FALSE;
}

static void initStepsPage(HWND page, LPARAM pageDescription)
{
    KeepPageState(page, pageDescription);
    stepFont = CreateFontA(-MulDiv(pixelsPerInch(page), STEP_FONT_POINTS, 72), 0, 0, 0, FW_BOLD, FALSE,
                           FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                           DEFAULT_QUALITY, DEFAULT_PITCH, "MS Sans Serif");
}

// Rows 0 and 1 as they stand before a run: skipped in place, else not started.
static void resetCopyRows(HWND page, const InstallState* state)
{
    int copyRows = state->inPlace ? STEP_SKIPPED : STEP_NONE;
    SetStepState(page, ROW_EMPTY, copyRows);
    SetStepState(page, ROW_COPY, copyRows);
}

static void activateStepsPage(HWND page, const InstallState* state)
{
    EnableWindow(GetDlgItem(page, IDC_LABEL_EMPTY), !state->inPlace);
    EnableWindow(GetDlgItem(page, IDC_LABEL_COPY), !state->inPlace);
    resetCopyRows(page, state);
}

static INT_PTR startInstallation(HWND page, NMHDR* header)
{
    InstallState* state = PageState(page);
    resetCopyRows(page, state);
    SetStepState(page, ROW_LINKS, STEP_NONE);
    if (!RunInstallation(state, header->hwndFrom, page))
        SetWindowLongPtrA(page, DWLP_MSGRESULT, -1);
    return TRUE;
}

static void destroyStepsPage(HWND page)
{
    for (int row = 0; row < ROW_COUNT; ++row)
        SetStepState(page, row, STEP_NONE);
    DeleteObject(stepFont);
    stepFont = 0;
}

static INT_PTR stepsPageNotify(HWND page, NMHDR* header)
{
    switch (header->code) {
    case PSN_SETACTIVE:
        activateStepsPage(page, PageState(page));
        return FALSE;
    case PSN_WIZNEXT:
        return startInstallation(page, header);
    }
    return FALSE;
}

INT_PTR CALLBACK StepsPageProc(HWND page, UINT message, WPARAM, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        initStepsPage(page, lParam);
        return FALSE;
    case WM_NOTIFY:
        return stepsPageNotify(page, (NMHDR*)lParam);
    case WM_DESTROY:
        destroyStepsPage(page);
        return FALSE;
    }
    return FALSE;
}

static void openInstalled(HWND page, const InstallState* state, const char* name)
{
    char path[PATH_SIZE];
    if (JoinPath(path, state->installFolder, name))
        OpenAsUser(page, path);
}

static void finish(HWND page)
{
    const InstallState* state = PageState(page);
    if (IsDlgButtonChecked(page, IDC_RUN_PROGRAM) == BST_CHECKED)
        openInstalled(page, state, PROGRAM_FILE);
    if (IsDlgButtonChecked(page, IDC_SHOW_README) == BST_CHECKED)
        openInstalled(page, state, README_FILE);
}

static INT_PTR finishPageNotify(HWND page, NMHDR* header)
{
    switch (header->code) {
    case PSN_SETACTIVE:
        SetWizardButtons(page, PSWIZB_FINISH);
        return FALSE;
    case PSN_WIZFINISH:
        finish(page);
        return FALSE;
    }
    return FALSE;
}

static INT_PTR CALLBACK finishPageProc(HWND page, UINT message, WPARAM, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        KeepPageState(page, lParam);
        CheckDlgButton(page, IDC_SHOW_README, BST_CHECKED);
        CheckDlgButton(page, IDC_RUN_PROGRAM, BST_CHECKED);
        return FALSE;
    case WM_NOTIFY:
        return finishPageNotify(page, (NMHDR*)lParam);
    }
    return FALSE;
}

static int CALLBACK sheetCallback(HWND sheet, UINT message, LPARAM)
{
    if (message == PSCB_INITIALIZED) {
        char title[PATH_SIZE];
        if (LoadStringA(instanceHandle, IDS_SHEET_TITLE, title, sizeof title))
            SetWindowTextA(sheet, title);
    }
    return 0;
}

void RunWizard(InstallState* state)
{
    static const struct {
        int templateId;
        DLGPROC procedure;
    } pages[PAGE_COUNT] = {
        { IDD_WELCOME, welcomePageProc }, { IDD_FOLDER, FolderPageProc }, { IDD_LINKS, linksPageProc },
        { IDD_STEPS, StepsPageProc },     { IDD_FINISH, finishPageProc },
    };
    HPROPSHEETPAGE handles[PAGE_COUNT];
    for (int i = 0; i < PAGE_COUNT; ++i) {
        PROPSHEETPAGEA page = {};
        page.dwSize = PROPSHEETPAGEA_V1_SIZE;
        // Some systems give a wizard the caption of the page it shows, which
        // the templates do not have; the sheet's title is each page's title.
        page.dwFlags = PSP_USETITLE;
        page.pszTitle = MAKEINTRESOURCEA(IDS_SHEET_TITLE);
        page.hInstance = instanceHandle;
        page.pszTemplate = MAKEINTRESOURCEA(pages[i].templateId);
        page.pfnDlgProc = pages[i].procedure;
        page.lParam = (LPARAM)state;
        handles[i] = commonControls.createPage(&page);
    }
    PROPSHEETHEADERA header = {};
    header.dwSize = PROPSHEETHEADERA_V1_SIZE;
    header.dwFlags = PSH_WIZARD | PSH_USEICONID | PSH_USECALLBACK;
    header.hInstance = instanceHandle;
    header.pszIcon = MAKEINTRESOURCEA(IDI_SETUP);
    header.nPages = PAGE_COUNT;
    header.phpage = handles;
    header.pfnCallback = sheetCallback;
    // The folder browser lists network, library and cloud folders only on a
    // thread that is a COM apartment.
    int comInitialized = SUCCEEDED(OleInitialize(0));
    commonControls.propertySheet(&header);
    if (comInitialized)
        OleUninitialize();
}
