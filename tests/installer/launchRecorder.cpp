// Stands in for Quorv.exe and for the program that opens text files: it
// appends its name (or its first two arguments) and the moment the system
// created its process to C:\launches.log, and ends.
#include <windows.h>

int main(int argc, char** argv)
{
    char name[MAX_PATH], line[3 * MAX_PATH];
    GetModuleFileNameA(0, name, MAX_PATH);
    FILETIME created, unused;
    GetProcessTimes(GetCurrentProcess(), &created, &unused, &unused, &unused);
    int length = argc > 2 ? wsprintfA(line, "%s %s", argv[1], argv[2]) : wsprintfA(line, "%s", name);
    length += wsprintfA(line + length, " %08lx%08lx\r\n", created.dwHighDateTime, created.dwLowDateTime);
    // Two starts may append at once: the loser tries again.
    for (int attempt = 0; attempt < 100; ++attempt, Sleep(10)) {
        HANDLE log = CreateFileA("C:\\launches.log", FILE_APPEND_DATA, 0, 0, OPEN_ALWAYS, 0, 0);
        DWORD written;
        if (log != INVALID_HANDLE_VALUE)
            return !WriteFile(log, line, length, &written, 0) + !CloseHandle(log);
    }
    return 1;
}
