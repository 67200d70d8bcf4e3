#include <windows.h>
#include "textCompare.h"

int textEqualsNoCase(const char* a, const char* b)
{
    return lstrcmpiA(a, b) == 0;
}
