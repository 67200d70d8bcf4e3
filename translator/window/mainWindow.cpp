#include "mainWindow.h"
#include "aboutBox.h"
#include "appState.h"
#include "languageRow.h"
#include "resource.h"
#include "serviceText.h"
#include "settingsStore.h"
#include "textsAndMessages.h"
#include "translationJob.h"
#include "translationState.h"
#include "windowLayout.h"

enum { MENU_TEXT_SIZE = 60, INPUT_LIMIT = 1023, CLIPBOARD_TRIES = 10, CLIPBOARD_RETRY_DELAY = 50 };

static void appendMenuString(HMENU menu, UINT command, UINT textId)
{
    char text[MENU_TEXT_SIZE];
    loadText(textId, text, sizeof text);
    AppendMenuA(menu, MF_STRING, command, text);
}

static void appendSystemMenuItems(HWND window)
{
    HMENU menu = GetSystemMenu(window, FALSE);
    if (!menu)
        return;
    AppendMenuA(menu, MF_SEPARATOR, 0, 0);
    appendMenuString(menu, IDM_ALWAYS_ON_TOP, IDS_ALWAYS_ON_TOP);
    AppendMenuA(menu, MF_SEPARATOR, 0, 0);
    appendMenuString(menu, IDM_ABOUT, IDS_ABOUT_MENU);
}

static void applyAlwaysOnTop(HWND window)
{
    SetWindowPos(window, alwaysOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    CheckMenuItem(GetSystemMenu(window, FALSE), IDM_ALWAYS_ON_TOP,
                  MF_BYCOMMAND | (alwaysOnTop ? MF_CHECKED : MF_UNCHECKED));
}

// Clipboard history, a remote desktop session or another program may hold
// the clipboard for a moment: tries for about half a second.
static int openClipboardSoon(HWND owner)
{
    for (int tries = 1; !OpenClipboard(owner); ++tries) {
        if (tries == CLIPBOARD_TRIES)
            return 0;
        Sleep(CLIPBOARD_RETRY_DELAY);
    }
    return 1;
}

// Puts text on the clipboard as Unicode text; 0 when it is not there.
static int copyToClipboard(HWND owner, const WCHAR* text)
{
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, (lstrlenW(text) + 1) * sizeof(WCHAR));
    WCHAR* copy = block ? (WCHAR*)GlobalLock(block) : 0;
    if (!copy) {
        GlobalFree(block);
        return 0;
    }
    lstrcpyW(copy, text);
    GlobalUnlock(block);
    if (!openClipboardSoon(owner)) {
        GlobalFree(block);
        return 0;
    }
    EmptyClipboard();
    // Once the clipboard has taken the block, it is the clipboard's.
    int copied = SetClipboardData(CF_UNICODETEXT, block) != 0;
    if (!copied)
        GlobalFree(block);
    CloseClipboard();
    return copied;
}

static WNDPROC editBoxProc;

// A multiline box closes its dialog on Escape, and the typed text would be
// lost; in these boxes Escape does nothing.
static LRESULT CALLBACK textBoxProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam)
{
    if ((message == WM_KEYDOWN || message == WM_CHAR) && wParam == VK_ESCAPE)
        return 0;
    return CallWindowProcW(editBoxProc, box, message, wParam, lParam);
}

static void keepEscapeFromTextBoxes(HWND window)
{
    editBoxProc = (WNDPROC)SetWindowLongPtrW(GetDlgItem(window, IDC_INPUT), GWLP_WNDPROC, (LONG_PTR)textBoxProc);
    SetWindowLongPtrW(GetDlgItem(window, IDC_RESULT), GWLP_WNDPROC, (LONG_PTR)textBoxProc);
}

static void initMainWindow(HWND window)
{
    mainWindow = window;
    restoreWindowPosition(window);
    appendSystemMenuItems(window);
    applyAlwaysOnTop(window);
    EnableMenuItem(GetSystemMenu(window, FALSE), SC_MAXIMIZE, MF_BYCOMMAND | MF_GRAYED);
    CheckDlgButton(window, IDC_AUTO_COPY, autoCopy ? BST_CHECKED : BST_UNCHECKED);
    SendDlgItemMessageA(window, IDC_INPUT, EM_LIMITTEXT, INPUT_LIMIT, 0);
    HICON icon = (HICON)LoadImageA(instanceHandle, MAKEINTRESOURCEA(IDI_QUORV), IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR);
    SendMessageA(window, WM_SETICON, ICON_SMALL, (LPARAM)icon);
    showStatusText(IDS_READY);
    fillLanguageLists(window);
    keepEscapeFromTextBoxes(window);
    // The user starts by typing.
    SetFocus(GetDlgItem(window, IDC_INPUT));
}

static void translate(HWND window)
{
    if (!getServiceText(window, IDC_INPUT, sourceText, SOURCE_TEXT_SIZE))
        return;
    Language source = selectedLanguage(GetDlgItem(window, IDC_FROM_LIST));
    targetLanguage = selectedLanguage(GetDlgItem(window, IDC_TO_LIST));
    lookupPairCode(source, targetLanguage, pairCode);
    if (runTranslationJob()) {
        setServiceText(window, IDC_RESULT, workText);
        if (autoCopy && !copyToClipboard(mainWindow, serviceTextToWide(workText)))
            showStatusText(IDS_NOT_COPIED);
    } else {
        SetDlgItemTextA(window, IDC_RESULT, "");
    }
}

// Translate is offered only for a text. Emptying the box by program raises
// no change notification for a multiline box, so Swap calls this too.
static void updateTranslateButton(HWND window)
{
    EnableWindow(GetDlgItem(window, IDC_TRANSLATE), GetWindowTextLengthA(GetDlgItem(window, IDC_INPUT)) != 0);
}

static void onCommand(HWND window, int id, int notification)
{
    switch (id) {
    case IDC_FROM_LIST:
        if (notification == CBN_SELCHANGE)
            sourceLanguageChanged(window);
        break;
    case IDC_TO_LIST:
        if (notification == CBN_SELCHANGE)
            updateFlagsAndHeading(window);
        break;
    case IDC_AUTO_COPY:
        autoCopy = IsDlgButtonChecked(window, IDC_AUTO_COPY) == BST_CHECKED;
        break;
    case IDC_SWAP:
        swapLanguages(window);
        SetDlgItemTextA(window, IDC_RESULT, "");
        SetDlgItemTextA(window, IDC_INPUT, "");
        updateTranslateButton(window);
        break;
    case IDC_TRANSLATE:
        translate(window);
        break;
    case IDC_INPUT:
        if (notification == EN_CHANGE)
            updateTranslateButton(window);
        break;
    case IDC_ABORT:
        abortTranslationJob();
        break;
    }
}

static void onSystemCommand(HWND window, UINT command)
{
    if (command == IDM_ALWAYS_ON_TOP) {
        alwaysOnTop = !alwaysOnTop;
        applyAlwaysOnTop(window);
    } else if (command == IDM_ABOUT) {
        showAboutBox(window);
    }
}

static void closeMainWindow(HWND window)
{
    // Close is greyed while a job runs, but Alt+F4 and other senders of the
    // command do not look at the menu: the worker must end first.
    if (translationJobRunning())
        return;
    saveSettings();
    storeWindowPosition(window);
    EndDialog(window, 0);
}

INT_PTR CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        initMainWindow(window);
        break;
    case WM_COMMAND:
        onCommand(window, LOWORD(wParam), HIWORD(wParam));
        break;
    case WM_SYSCOMMAND:
        onSystemCommand(window, LOWORD(wParam));
        break;
    case WM_SIZE:
        layoutControls(window, LOWORD(lParam), HIWORD(lParam));
        break;
    case WM_GETMINMAXINFO:
        setMinimumSize((MINMAXINFO*)lParam);
        break;
    case WM_CLOSE:
        closeMainWindow(window);
        break;
    }
    return FALSE;
}
