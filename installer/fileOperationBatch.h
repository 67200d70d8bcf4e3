// Path lists for the shell's file operation, gathered in growing heap
// buffers, with the operation record that points at them.
#pragma once
#include <windows.h>
#include <shellapi.h>

enum { SOURCE_LIST = 0, TARGET_LIST = 1 };

class FileOperationBatch {
public:
    FileOperationBatch();
    virtual ~FileOperationBatch();
    // 1 when the path was added; 0 when memory ran out, which also makes
    // every later Run of this batch fail without touching a file.
    int Append(int list, const char* path);
    // Runs the operation; 1 only when the shell did all of it.
    int Run(HWND owner, UINT function, FILEOP_FLAGS flags);

    int sourceCapacity;
    int targetCapacity;
    int sourceLength;
    int targetLength;
    SHFILEOPSTRUCTA operation;
    char* targetList;
    char* sourceList;
    char* sourceEnd;
    char* targetEnd;
    int outOfMemory;

private:
    int Grow(int list, int size);
};
