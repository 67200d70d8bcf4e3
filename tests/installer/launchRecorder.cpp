// Stands in for Quorv.exe and for the program that opens text files: it
// appends its name (or its first two arguments), the moment the system
// created its process and the program that started it to C:\launches.log,
// and ends.
#include <windows.h>
#include <tlhelp32.h>

int main(int argc, char** argv)
{
    char name[MAX_PATH], parent[MAX_PATH] = "<unknown>", line[4 * MAX_PATH];
    GetModuleFileNameA(0, name, MAX_PATH);
    // The starter by its process id, from a snapshot of every process.
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    DWORD parentId = 0;
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry))
        parentId = entry.th32ProcessID == GetCurrentProcessId() ? entry.th32ParentProcessID : parentId;
    for (BOOL more = Process32First(snapshot, &entry); more && parentId; more = Process32Next(snapshot, &entry))
        if (entry.th32ProcessID == parentId)
            lstrcpyA(parent, entry.szExeFile);
    CloseHandle(snapshot);
    FILETIME created, unused;
    GetProcessTimes(GetCurrentProcess(), &created, &unused, &unused, &unused);
    int length = argc > 2 ? wsprintfA(line, "%s %s", argv[1], argv[2]) : wsprintfA(line, "%s", name);
    length += wsprintfA(line + length, " %08lx%08lx %s\r\n", created.dwHighDateTime, created.dwLowDateTime, parent);
    // Two starts may append at once: the loser tries again.
    for (int attempt = 0; attempt < 100; ++attempt, Sleep(10)) {
        HANDLE log = CreateFileA("C:\\launches.log", FILE_APPEND_DATA, 0, 0, OPEN_ALWAYS, 0, 0);
        DWORD written;
        if (log != INVALID_HANDLE_VALUE)
            return !WriteFile(log, line, length, &written, 0) + !CloseHandle(log);
    }
    return 1;
}
