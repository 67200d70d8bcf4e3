#include "languageRow.h"
#include "appState.h"
#include "resource.h"
#include "serviceText.h"
#include "textsAndMessages.h"

// LANGUAGE_NAMES_TEXT_SIZE holds the string of all names, "name|name|...|".
enum { LANGUAGE_NAME_SIZE = 20, LANGUAGE_NAMES_TEXT_SIZE = 260 };

// The names by language index, in the user's language.
static char languageNames[LANGUAGE_COUNT][LANGUAGE_NAME_SIZE];
// Flag pictures by language index.
static HBITMAP flagBitmaps[LANGUAGE_COUNT];
static const WORD FlagBitmapIds[LANGUAGE_COUNT] = {
    IDB_FLAG_US, IDB_FLAG_FR, IDB_FLAG_DE, IDB_FLAG_IT, IDB_FLAG_PT, IDB_FLAG_ES,
};

// The target last chosen with each source; never stored.
static Language rememberedTarget[LANGUAGE_COUNT] = {
    LANGUAGE_FRENCH, LANGUAGE_ENGLISH, LANGUAGE_ENGLISH, LANGUAGE_ENGLISH, LANGUAGE_ENGLISH, LANGUAGE_ENGLISH,
};

void loadFlags()
{
    for (int language = 0; language < LANGUAGE_COUNT; ++language)
        flagBitmaps[language] = LoadBitmapA(instanceHandle, MAKEINTRESOURCEA(FlagBitmapIds[language]));
}

void freeFlags()
{
    for (int language = 0; language < LANGUAGE_COUNT; ++language)
        DeleteObject(flagBitmaps[language]);
}

// Splits "name|name|...|" into the language names table.
static void splitLanguageNames(const char* names)
{
    const char* next = names;
    for (int slot = 0; slot < LANGUAGE_COUNT && *next; ++slot) {
        // A name too long for its slot is cut; the rest of it is skipped.
        int length = 0;
        for (; *next && *next != '|'; ++next)
            if (length < LANGUAGE_NAME_SIZE - 1)
                languageNames[slot][length++] = *next;
        languageNames[slot][length] = 0;
        if (*next == '|')
            ++next;
    }
}

void loadLanguageNames()
{
    char names[LANGUAGE_NAMES_TEXT_SIZE];
    if (loadText(IDS_LANGUAGE_NAMES, names, sizeof names))
        splitLanguageNames(names);
}

static Language languageOfName(const char* text)
{
    for (Language language = 0; language < LANGUAGE_COUNT; ++language)
        if (lstrcmpiA(text, languageNames[language]) == 0)
            return language;
    return LANGUAGE_ENGLISH;
}

static Language entryLanguage(HWND list, int position)
{
    char name[LANGUAGE_NAME_SIZE] = "";
    // CB_GETLBTEXT has no size: a longer entry than the table holds is
    // read through a buffer that fits any entry.
    char entry[256] = "";
    if (SendMessageA(list, CB_GETLBTEXTLEN, position, 0) < (LRESULT)sizeof entry)
        SendMessageA(list, CB_GETLBTEXT, position, (LPARAM)entry);
    lstrcpynA(name, entry, sizeof name);
    return languageOfName(name);
}

Language selectedLanguage(HWND list)
{
    return entryLanguage(list, (int)SendMessageA(list, CB_GETCURSEL, 0, 0));
}

static int positionOfLanguage(HWND list, Language language)
{
    for (int position = 0; position < (int)SendMessageA(list, CB_GETCOUNT, 0, 0); ++position)
        if (entryLanguage(list, position) == language)
            return position;
    return 0;
}

static void beginRefill(HWND list)
{
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    SendMessageA(list, CB_RESETCONTENT, 0, 0);
}

static void endRefill(HWND list)
{
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    RedrawWindow(list, 0, 0, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

static void fillTargetList(HWND toList, Language source)
{
    beginRefill(toList);
    Language targets[LANGUAGE_COUNT];
    int count = targetsOf(source, targets);
    for (int i = 0; i < count; ++i)
        SendMessageA(toList, CB_ADDSTRING, 0, (LPARAM)languageNames[targets[i]]);
    SendMessageA(toList, CB_SETCURSEL, positionOfLanguage(toList, rememberedTarget[source]), 0);
    endRefill(toList);
}

// The flag bitmaps stay the table's; the picture the template gave the
// control is the control's to give back, and goes.
static void showFlag(HWND window, int id, Language language)
{
    HBITMAP previous = (HBITMAP)SendDlgItemMessageA(window, id, STM_SETIMAGE, IMAGE_BITMAP, (LPARAM)flagBitmaps[language]);
    for (int i = 0; i < LANGUAGE_COUNT; ++i)
        if (previous == flagBitmaps[i])
            return;
    if (previous)
        DeleteObject(previous);
}

void updateFlagsAndHeading(HWND window)
{
    Language source = selectedLanguage(GetDlgItem(window, IDC_FROM_LIST));
    Language target = selectedLanguage(GetDlgItem(window, IDC_TO_LIST));
    showFlag(window, IDC_FROM_FLAG, source);
    showFlag(window, IDC_TO_FLAG, target);
    setServiceText(window, IDC_TARGET_HEADING, headingOf(target));
    rememberedTarget[source] = target;
}

void fillLanguageLists(HWND window)
{
    HWND fromList = GetDlgItem(window, IDC_FROM_LIST);
    beginRefill(fromList);
    Language sources[LANGUAGE_COUNT];
    int count = sourceLanguages(sources);
    for (int i = 0; i < count; ++i)
        SendMessageA(fromList, CB_ADDSTRING, 0, (LPARAM)languageNames[sources[i]]);
    SendMessageA(fromList, CB_SETCURSEL, 0, 0);
    endRefill(fromList);
    fillTargetList(GetDlgItem(window, IDC_TO_LIST), sources[0]);
    updateFlagsAndHeading(window);
}

void sourceLanguageChanged(HWND window)
{
    fillTargetList(GetDlgItem(window, IDC_TO_LIST), selectedLanguage(GetDlgItem(window, IDC_FROM_LIST)));
    updateFlagsAndHeading(window);
}

void swapLanguages(HWND window)
{
    HWND fromList = GetDlgItem(window, IDC_FROM_LIST);
    HWND toList = GetDlgItem(window, IDC_TO_LIST);
    Language oldSource = selectedLanguage(fromList);
    Language oldTarget = selectedLanguage(toList);
    SendMessageA(fromList, CB_SELECTSTRING, (WPARAM)-1, (LPARAM)languageNames[oldTarget]);
    fillTargetList(toList, oldTarget);
    SendMessageA(toList, CB_SELECTSTRING, (WPARAM)-1, (LPARAM)languageNames[oldSource]);
    updateFlagsAndHeading(window);
}
