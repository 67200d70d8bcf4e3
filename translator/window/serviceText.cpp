#include "serviceText.h"
#include "appState.h"
#include "resource.h"
#include "textsAndMessages.h"
#include "translationState.h"

enum {
    WINDOWS_1252 = 1252,
    // Any text of the shared buffers, and the input box's.
    WIDE_TEXT_SIZE = WORK_TEXT_SIZE > SOURCE_TEXT_SIZE ? WORK_TEXT_SIZE : SOURCE_TEXT_SIZE,
    // wsprintfW writes up to 1,024 characters.
    MESSAGE_SIZE = 1024,
    CAPTION_SIZE = 32
};

static WCHAR wideText[WIDE_TEXT_SIZE];

const WCHAR* serviceTextToWide(const char* text)
{
    if (!MultiByteToWideChar(WINDOWS_1252, 0, text, -1, wideText, WIDE_TEXT_SIZE))
        wideText[0] = 0;
    return wideText;
}

void setServiceText(HWND window, int id, const char* text)
{
    SetDlgItemTextW(window, id, serviceTextToWide(text));
}

// The box is in UTF-16 so that it shows the character whatever the system's
// code page; a character outside the basic plane comes as a surrogate pair.
static void reportUntranslatable(const WCHAR* character)
{
    WCHAR shown[3] = { character[0], 0, 0 };
    UINT codePoint = character[0];
    if (IS_HIGH_SURROGATE(character[0]) && IS_LOW_SURROGATE(character[1])) {
        shown[1] = character[1];
        codePoint = 0x10000 + ((codePoint - 0xD800) << 10) + (character[1] - 0xDC00);
    }
    WCHAR format[MESSAGE_SIZE], message[MESSAGE_SIZE], caption[CAPTION_SIZE];
    if (!LoadStringW(instanceHandle, IDS_UNTRANSLATABLE_CHARACTER, format, MESSAGE_SIZE))
        format[0] = 0;
    wsprintfW(message, format, shown, codePoint);
    MultiByteToWideChar(CP_ACP, 0, productName, -1, caption, CAPTION_SIZE);
    MessageBoxW(mainWindow, message, caption, MB_OK | MB_ICONERROR);
}

int getServiceText(HWND window, int id, char* text, int size)
{
    GetDlgItemTextW(window, id, wideText, size < WIDE_TEXT_SIZE ? size : WIDE_TEXT_SIZE);
    int length = 0;
    for (const WCHAR* c = wideText; *c; ++c) {
        BOOL lost = FALSE;
        // No best fit: "Ā" must not go out as "A", nor "∞" as "8".
        if (WideCharToMultiByte(WINDOWS_1252, WC_NO_BEST_FIT_CHARS, c, 1, text + length, 1, 0, &lost) != 1 || lost) {
            reportUntranslatable(c);
            return 0;
        }
        ++length;
    }
    text[length] = 0;
    return 1;
}
