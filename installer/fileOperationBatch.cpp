#include "fileOperationBatch.h"
#include <stdlib.h>
#include <string.h>

FileOperationBatch::FileOperationBatch()
    : sourceCapacity(0), targetCapacity(0), sourceLength(0), targetLength(0), operation(),
      targetList(0), sourceList(0), sourceEnd(0), targetEnd(0), outOfMemory(0)
{
}

FileOperationBatch::~FileOperationBatch()
{
    free(sourceList);
    free(targetList);
}

int FileOperationBatch::Grow(int list, int size)
{
    char** buffer = list == SOURCE_LIST ? &sourceList : &targetList;
    char** end = list == SOURCE_LIST ? &sourceEnd : &targetEnd;
    int* capacity = list == SOURCE_LIST ? &sourceCapacity : &targetCapacity;
    char* grown;
    if (*buffer) {
        // On failure the old list stays whole and owned by the batch.
        grown = (char*)realloc(*buffer, size);
        if (!grown)
            return 0;
        *end = grown + (*end - *buffer);
    } else {
        grown = (char*)malloc(size);
        if (!grown)
            return 0;
        *end = grown;
        grown[0] = 0;
    }
    *capacity = size;
    *buffer = grown;
    if (list == SOURCE_LIST)
        operation.pFrom = grown;
    else
        operation.pTo = grown;
    return 1;
}

int FileOperationBatch::Append(int list, const char* path)
{
    int n = lstrlenA(path) + 1;
    int* length = list == SOURCE_LIST ? &sourceLength : &targetLength;
    int capacity = list == SOURCE_LIST ? sourceCapacity : targetCapacity;
    int needed = *length + n + 1;
    if (needed > capacity && !Grow(list, needed)) {
        outOfMemory = 1;
        return 0;
    }
    char** end = list == SOURCE_LIST ? &sourceEnd : &targetEnd;
    memcpy(*end, path, n);
    *end += n;
    *length += n;
    **end = 0;
    return 1;
}

int FileOperationBatch::Run(HWND owner, UINT function, FILEOP_FLAGS flags)
{
    // A list cut short by a failed allocation must never reach the shell:
    // a copy without its target list would copy into the current folder.
    if (outOfMemory || !sourceList)
        return 0;
    operation.hwnd = owner;
    operation.wFunc = function;
    operation.fFlags = flags;
    operation.fAnyOperationsAborted = FALSE;
    return SHFileOperationA(&operation) == 0 && !operation.fAnyOperationsAborted;
}
