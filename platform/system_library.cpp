// system_library.cpp - loading DLLs of Windows from the system folder.
#include "platform/system_library.h"

HMODULE LoadSystemLibrary(const char *fileName)
{
    char path[MAX_PATH];
    const UINT folderLength = GetSystemDirectoryA(path, MAX_PATH);
    // 0 on failure, and the size needed when the folder's name does not fit.
    if (folderLength == 0 || folderLength + 1 + lstrlenA(fileName) >= MAX_PATH)
        return nullptr;
    path[folderLength] = '\\';
    lstrcpyA(path + folderLength + 1, fileName);
    return LoadLibraryExA(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}
