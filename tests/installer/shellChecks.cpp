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
        std::string name = found.cFileName;
        if (name == "." || name == "..")
            continue;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            out.push_back(relative + name + "\\");
            if (recursive)
                collect(root, relative + name + "\\", recursive, out);
        } else {
            out.push_back(relative + name);
        }
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
        summary += name;
        if (name.back() != '\\') {
            // FNV-1a is plenty to tell a changed copy from a faithful one.
            unsigned long long hash = 14695981039346656037ull;
            for (unsigned char c : readFile(folder + name))
                hash = (hash ^ c) * 1099511628211ull;
            char text[40];
            wsprintfA(text, " %08lx%08lx", (unsigned long)(hash >> 32), (unsigned long)hash);
            summary += text;
        }
        summary += "\n";
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

void removeTree(const std::string& name)
{
    std::string folder = name.back() == '\\' ? name : name + "\\";
    std::vector<std::string> entries = listTree(folder);
    for (auto entry = entries.rbegin(); entry != entries.rend(); ++entry) {
        std::string path = folder + *entry;
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (entry->back() == '\\')
            RemoveDirectoryA(path.c_str());
        else
            DeleteFileA(path.c_str());
    }
    RemoveDirectoryA(folder.c_str());
}

void makeFolders(const std::string& folder)
{
    for (size_t at = 3; at <= folder.size(); ++at)
        if (at == folder.size() || folder[at] == '\\')
            CreateDirectoryA(folder.substr(0, at).c_str(), 0);
}

static IShellFolder* recycleBin()
{
    IShellFolder* desktop = 0;
    IShellFolder* bin = 0;
    LPITEMIDLIST items = 0;
    if (FAILED(SHGetDesktopFolder(&desktop)))
        return 0;
    if (SUCCEEDED(SHGetSpecialFolderLocation(0, CSIDL_BITBUCKET, &items))) {
        desktop->BindToObject(items, 0, IID_IShellFolder, (void**)&bin);
        CoTaskMemFree(items);
    }
    desktop->Release();
    return bin;
}

int recycleBinCount()
{
    IShellFolder* bin = recycleBin();
    if (!bin)
        return -1;
    IEnumIDList* list = 0;
    int count = 0;
    if (bin->EnumObjects(0, SHCONTF_FOLDERS | SHCONTF_NONFOLDERS | SHCONTF_INCLUDEHIDDEN, &list) == S_OK
        && list) {
        LPITEMIDLIST item;
        ULONG fetched;
        while (list->Next(1, &item, &fetched) == S_OK) {
            ++count;
            CoTaskMemFree(item);
        }
        list->Release();
    }
    bin->Release();
    return count;
}

LinkInfo readLink(const std::string& path)
{
    LinkInfo info = { 0, "", "", "" };
    IShellLinkA* link = 0;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, 0, CLSCTX_INPROC_SERVER, IID_IShellLinkA, (void**)&link)))
        return info;
    IPersistFile* file = 0;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, (void**)&file))) {
        WCHAR wide[MAX_PATH];
        MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH);
        if (file->Load(wide, STGM_READ) == S_OK) {
            char text[MAX_PATH] = "";
            int index = 0;
            info.loaded = 1;
            link->GetPath(text, MAX_PATH, 0, SLGP_RAWPATH);
            info.target = text;
            text[0] = 0;
            link->GetDescription(text, MAX_PATH);
            info.description = text;
            text[0] = 0;
            link->GetIconLocation(text, MAX_PATH, &index);
            info.iconPath = text;
        }
        file->Release();
    }
    link->Release();
    return info;
}

std::string specialFolder(int csidl)
{
    char path[MAX_PATH] = "";
    LPITEMIDLIST items = 0;
    if (SUCCEEDED(SHGetSpecialFolderLocation(0, csidl, &items))) {
        SHGetPathFromIDListA(items, path);
        CoTaskMemFree(items);
    }
    std::string folder = path;
    if (!folder.empty() && folder.back() != '\\')
        folder += "\\";
    return folder;
}
