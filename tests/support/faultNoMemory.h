// Test build of Quorv.exe in which no memory block can be allocated.
#pragma once
#include <windows.h>
#define GlobalAlloc(flags, size) (SetLastError(ERROR_NOT_ENOUGH_MEMORY), (HGLOBAL)0)
