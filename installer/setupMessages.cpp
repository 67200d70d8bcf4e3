#include "setupMessages.h"
#include "setupGlobals.h"

enum { FORMAT_SIZE = 260, MESSAGE_SIZE = 1024 };

const char productName[] = "Quorvel";

// A missing string shows nothing and gives IDOK.
static int ShowTableMessage(HWND owner, UINT id, UINT type, va_list arguments)
{
    char format[FORMAT_SIZE];
    if (!LoadStringA(instanceHandle, id, format, sizeof format))
        return IDOK;
    char text[MESSAGE_SIZE];
    wvsprintfA(text, format, arguments);
    return MessageBoxA(owner, text, productName, type);
}

void ShowTableError(HWND owner, UINT id, ...)
{
    va_list arguments;
    va_start(arguments, id);
    ShowTableMessage(owner, id, MB_ICONHAND, arguments);
    va_end(arguments);
}
