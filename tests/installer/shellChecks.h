// What the installer tests look at on disk, in the shell and in the
// registry: folder listings, file hashes, the Recycle Bin, link files.
#pragma once
#include <windows.h>
#include <algorithm>
#include <string>
#include <vector>
#include "fileContents.h"
#include <shlobj.h>

// Every entry below folder (relative names, folders ending in "\"), sorted;
// only the folder's own entries when not recursive.
inline std::vector<std::string> listTree(const std::string& folder, int recursive = 1, std::string relative = "")
{
    std::vector<std::string> out;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + relative + "*").c_str(), &found);
    for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileA(search, &found)) {
        std::string name = relative + found.cFileName;
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            out.push_back(name);
        else if (lstrcmpA(found.cFileName, ".") && lstrcmpA(found.cFileName, "..")) {
            out.push_back(name + "\\");
            for (const std::string& inner : recursive ? listTree(folder, 1, name + "\\") : std::vector<std::string>())
                out.push_back(inner);
        }
    }
    FindClose(search);
    std::sort(out.begin(), out.end());
    return out;
}

inline int fileExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

inline void writeFile(const std::string& path, const std::string& content)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, 0, CREATE_ALWAYS, 0, 0);
    DWORD written;
    WriteFile(file, content.data(), (DWORD)content.size(), &written, 0);
    CloseHandle(file);
}

// Removes folder (with or without its trailing backslash) for good, by the
// shell, which also finds names outside the code page.
inline void removeTree(std::string folder)
{
    if (folder.back() == '\\')
        folder.pop_back();
    folder += '\0';
    SHFILEOPSTRUCTA operation = {};
    operation.wFunc = FO_DELETE;
    operation.pFrom = folder.c_str();
    operation.fFlags = FOF_NOCONFIRMATION | FOF_SILENT | FOF_NOERRORUI;
    SHFileOperationA(&operation);
}

inline void makeFolders(const std::string& folder) { SHCreateDirectoryExA(0, folder.c_str(), 0); }

// The number of items in the Recycle Bin; 0 where there is none.
inline int recycleBinCount()
{
    SHQUERYRBINFO bin = {};
    bin.cbSize = sizeof bin;
    return SHQueryRecycleBinA(0, &bin) == S_OK ? (int)bin.i64NumItems : 0;
}

// Whether the link file at path leads to target, by the local path that
// the file format keeps in the code page.
inline int linksTo(const std::string& path, const std::string& target)
{
    return readFile(path).find(target + '\0') != std::string::npos;
}

// A special folder with a trailing backslash; "" when it has no path.
inline std::string specialFolder(int csidl)
{
    char path[MAX_PATH] = "";
    SHGetFolderPathA(0, csidl, 0, SHGFP_TYPE_CURRENT, path);
    return path[0] ? path + std::string("\\") : "";
}

// A text value under HKEY_LOCAL_MACHINE; "<missing>" when absent or no text.
inline std::string registryText(const char* subkey, const char* name)
{
    char value[1024] = "";
    DWORD size = sizeof value - 1, type = 0;
    return RegGetValueA(HKEY_LOCAL_MACHINE, subkey, name, RRF_RT_REG_SZ, &type, value, &size) == ERROR_SUCCESS
        ? value
        : "<missing>";
}
