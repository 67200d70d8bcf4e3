// A whole file's bytes, for tests that check what a program wrote.
#pragma once
#include <windows.h>
#include <string>

// The file's contents, or "<missing>" when it cannot be opened.
inline std::string readFile(const std::string& path)
{
    std::string content;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, 0, OPEN_EXISTING, 0, 0);
    if (file == INVALID_HANDLE_VALUE)
        return "<missing>";
    char buffer[65536];
    DWORD got;
    while (ReadFile(file, buffer, sizeof buffer, &got, 0) && got)
        content.append(buffer, got);
    CloseHandle(file);
    return content;
}
