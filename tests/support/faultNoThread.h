// Test build of Quorv.exe in which no thread can be created.
#pragma once
#include <windows.h>
#define CreateThread(security, stack, routine, parameter, flags, id) \
    ((void)(routine), SetLastError(ERROR_NOT_ENOUGH_MEMORY), (HANDLE)0)
