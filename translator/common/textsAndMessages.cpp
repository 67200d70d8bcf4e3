#include "textsAndMessages.h"
#include <stdarg.h>
#include "appState.h"
#include "makerInfo.h"
#include "resource.h"

enum { FORMAT_SIZE = 260, MESSAGE_SIZE = 1024 };

const char productName[] = "Quorvel";
const char supportAddress[] = MAKER_SUPPORT_ADDRESS;
char errorTextBuffer[ERROR_TEXT_SIZE];
char contactPage[CONTACT_PAGE_SIZE];

int loadText(UINT id, char* buffer, int size)
{
    int length = LoadStringA(instanceHandle, id, buffer, size);
    if (!length)
        buffer[0] = 0;
    return length;
}

char* errorCodeText(int code)
{
    char format[FORMAT_SIZE];
    loadText(IDS_ERROR_CODE, format, sizeof format);
    wsprintfA(errorTextBuffer, format, code, supportAddress);
    return errorTextBuffer;
}

// Shows string id formatted with the arguments; returns the button pressed.
static int reportMessage(UINT id, UINT type, va_list arguments)
{
    char format[FORMAT_SIZE];
    char message[MESSAGE_SIZE];
    loadText(id, format, sizeof format);
    wvsprintfA(message, format, arguments);
    return MessageBoxA(mainWindow, message, productName, type);
}

void reportError(UINT id, ...)
{
    va_list arguments;
    va_start(arguments, id);
    reportMessage(id, MB_OK | MB_ICONERROR, arguments);
    va_end(arguments);
}

char* systemErrorText(int code)
{
    if (code == -1)
        code = (int)GetLastError();
    // Without arguments to fill in, a system text with inserts must keep
    // them as written rather than read arguments that are not there.
    if (!FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, 0, (DWORD)code,
                        LANG_USER_DEFAULT, errorTextBuffer, sizeof errorTextBuffer, 0))
        return errorCodeText(code);
    return errorTextBuffer;
}

void showStatusText(UINT id)
{
    char text[FORMAT_SIZE];
    loadText(id, text, sizeof text);
    SetDlgItemTextA(mainWindow, IDC_STATUS_LINE, text);
}
