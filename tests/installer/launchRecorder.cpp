// Stands in for Quorv.exe and for the program that opens text files: it
// appends its name (or its first two arguments), the moment the system
// created its process and the program that started it to C:\launches.log,
// and ends.
#include <windows.h>
#include <stdio.h>
#include <tlhelp32.h>

static void parentName(char* name)
{
    lstrcpyA(name, "<unknown>");
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    DWORD parent = 0;
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry))
        if (entry.th32ProcessID == GetCurrentProcessId())
            parent = entry.th32ParentProcessID;
    for (BOOL more = Process32First(snapshot, &entry); more && parent; more = Process32Next(snapshot, &entry))
        if (entry.th32ProcessID == parent)
            lstrcpyA(name, entry.szExeFile);
    CloseHandle(snapshot);
}

int main(int argc, char** argv)
{
    char name[MAX_PATH];
    GetModuleFileNameA(0, name, MAX_PATH);
    char label[2 * MAX_PATH];
    if (argc > 2)
        wsprintfA(label, "%s %s", argv[1], argv[2]);
    else
        lstrcpyA(label, argc > 1 ? argv[1] : name);
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    char parent[MAX_PATH];
    parentName(parent);
    char line[4 * MAX_PATH];
    int length = wsprintfA(line, "%s %08lx%08lx %s\r\n", label, created.dwHighDateTime, created.dwLowDateTime,
                           parent);
    for (int attempt = 0; attempt < 100; ++attempt) {
        HANDLE log = CreateFileA("C:\\launches.log", FILE_APPEND_DATA, 0, 0, OPEN_ALWAYS, 0, 0);
        if (log != INVALID_HANDLE_VALUE) {
            DWORD written;
            WriteFile(log, line, length, &written, 0);
            CloseHandle(log);
            break;
        }
        Sleep(10);
    }
    return 0;
}
