#include "textCompare.h"

// Lower case of a Windows-1252 byte.
static unsigned char foldCase(unsigned char c)
{
    if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7))
        return (unsigned char)(c + 0x20);
    if (c == 0x8A || c == 0x8C || c == 0x8E)
        return (unsigned char)(c + 0x10);
    if (c == 0x9F)
        return 0xFF;
    return c;
}

int textEqualsNoCase(const char* a, const char* b)
{
    const unsigned char* x = (const unsigned char*)a;
    const unsigned char* y = (const unsigned char*)b;
    for (; *x && *y; ++x, ++y)
        if (foldCase(*x) != foldCase(*y))
            return 0;
    return *x == *y;
}
