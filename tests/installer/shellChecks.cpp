#include "shellChecks.h"
#include <algorithm>
#include <shlobj.h>
#include <shellapi.h>

static void collect(const std::string& root, const std::string& relative, int recursive,
                    std::vector<std::string>& out)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((root + relative + "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        std::string name = relative + found.cFileName;
        if (!lstrcmpA(found.cFileName, ".") || !lstrcmpA(found.cFileName, ".."))
            continue;
        int folder = found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY;
        out.push_back(folder ? name + "\\" : name);
        if (folder && recursive)
            collect(root, name + "\\", recursive, out);
    } while (FindNextFileA(search, &found));
    FindClose(search);
}

std::vector<std::string> listTree(const std::string& folder, int recursive)
{
    std::vector<std::string> out;
    collect(folder, "", recursive, out);
    std::sort(out.begin(), out.end());
    return out;
}

std::string hashTree(const std::string& folder)
{
    std::string summary;
    for (const std::string& name : listTree(folder)) {
        // FNV-1a is plenty to tell a changed copy from a faithful one.
        unsigned long long hash = 14695981039346656037ull;
        for (unsigned char c : name.back() == '\\' ? "" : readFile(folder + name))
            hash = (hash ^ c) * 1099511628211ull;
        summary += name + " " + std::to_string(hash) + "\n";
    }
    return summary;
}

int fileExists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void writeFile(const std::string& path, const std::string& content)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, 0, CREATE_ALWAYS, 0, 0);
    DWORD written;
    WriteFile(file, content.data(), (DWORD)content.size(), &written, 0);
    CloseHandle(file);
}

// By the shell, which also finds names outside the code page; for good.
void removeTree(const std::string& folder)
{
    std::string list = folder.back() == '\\' ? folder.substr(0, folder.size() - 1) : folder;
    SHFILEOPSTRUCTA operation = {};
    operation.wFunc = FO_DELETE;
    operation.pFrom = (list += '\0').c_str();
    operation.fFlags = FOF_NOCONFIRMATION | FOF_SILENT | FOF_NOERRORUI;
    SHFileOperationA(&operation);
}

void makeFolders(const std::string& folder)
{
    SHCreateDirectoryExA(0, folder.c_str(), 0);
}

int recycleBinCount()
{
    IShellFolder* desktop = 0;
    IShellFolder* bin = 0;
    IEnumIDList* list = 0;
    LPITEMIDLIST item = 0;
    int count = -1;
    if (SUCCEEDED(SHGetDesktopFolder(&desktop)) && SUCCEEDED(SHGetSpecialFolderLocation(0, CSIDL_BITBUCKET, &item))
        && SUCCEEDED(desktop->BindToObject(item, 0, IID_IShellFolder, (void**)&bin)))
        count = 0;
    CoTaskMemFree(item);
    // Without a Recycle Bin on disk the shell lists nothing.
    if (bin && bin->EnumObjects(0, SHCONTF_FOLDERS | SHCONTF_NONFOLDERS | SHCONTF_INCLUDEHIDDEN, &list) == S_OK) {
        for (; list->Next(1, &item, 0) == S_OK; ++count)
            CoTaskMemFree(item);
        list->Release();
    }
    if (bin)
        bin->Release();
    if (desktop)
        desktop->Release();
    return count;
}

std::string linkTarget(const std::string& path)
{
    std::string target = "<unreadable>";
    IShellLinkA* link = 0;
    IPersistFile* file = 0;
    WCHAR wide[MAX_PATH];
    char text[MAX_PATH] = "";
    MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH);
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, 0, CLSCTX_INPROC_SERVER, IID_IShellLinkA, (void**)&link))
        && SUCCEEDED(link->QueryInterface(IID_IPersistFile, (void**)&file)) && file->Load(wide, STGM_READ) == S_OK
        && SUCCEEDED(link->GetPath(text, MAX_PATH, 0, SLGP_RAWPATH)))
        target = text;
    if (file)
        file->Release();
    if (link)
        link->Release();
    return target;
}

std::string specialFolder(int csidl)
{
    char path[MAX_PATH] = "";
    SHGetFolderPathA(0, csidl, 0, SHGFP_TYPE_CURRENT, path);
    return path[0] ? path + std::string("\\") : "";
}

std::string registryText(const char* subkey, const char* name)
{
    char value[1024] = "<missing>";
    DWORD size = sizeof value - 1;
    DWORD type = 0;
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, subkey, 0, KEY_READ, &key) == ERROR_SUCCESS) {
        if (RegQueryValueExA(key, name, 0, &type, (BYTE*)value, &size) != ERROR_SUCCESS || type != REG_SZ)
            lstrcpyA(value, "<missing>");
        RegCloseKey(key);
    }
    return value;
}
