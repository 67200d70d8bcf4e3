// What the installer tests look at on disk and in the shell: folder
// listings, file hashes, the Recycle Bin and link files.
#pragma once
#include <windows.h>
#include <string>
#include <vector>
#include "fileContents.h"

// Every entry below folder (relative names, folders ending in "\"), sorted;
// only the folder's own entries when not recursive.
std::vector<std::string> listTree(const std::string& folder, int recursive = 1);
// Every entry below folder with a hash of each file's contents, one a line.
std::string hashTree(const std::string& folder);
int fileExists(const std::string& path);
void writeFile(const std::string& path, const std::string& content);
// Removes folder and all it holds for good (test set-up only).
void removeTree(const std::string& folder);  // with or without a trailing backslash
void makeFolders(const std::string& folder);
// The number of items in the Recycle Bin, as the shell lists them.
int recycleBinCount();
// The target of a link file; "<unreadable>" when it cannot be loaded.
std::string linkTarget(const std::string& path);
std::string specialFolder(int csidl);  // with a trailing backslash
// A value under HKEY_LOCAL_MACHINE; "<missing>" when absent or not text.
std::string registryText(const char* subkey, const char* name);
