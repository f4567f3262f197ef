// system_library.cpp - loading DLLs of Windows from the system folder, and
// keeping Windows' own DLL loads there too.
#include "platform/system_library.h"

namespace {

// Declared by the headers only for later Windows versions; the numbers and
// types are the documented ones.
const DWORD SEARCH_SYSTEM_FOLDER_ONLY = 0x00000800; // LOAD_LIBRARY_SEARCH_SYSTEM32
typedef BOOL(WINAPI *SetDefaultDllDirectoriesProc)(DWORD directoryFlags);
typedef BOOL(WINAPI *SetDllDirectoryAProc)(const char *folder);

} // namespace

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

// The program's own loads name the system folder, but Windows' DLLs load
// further DLLs by bare name (the accessibility and input-method code, say),
// and those searches begin in the folder the program was started from. Both
// functions are looked up in the kernel32 already loaded, so that Windows 98,
// ME and 2000, which have neither, start as before.
//
// Still not covered: the DLLs resolved before the program's code runs (its
// static imports and theirs, all DLLs that Windows protects today); Windows
// 2000's ".local" redirection, which a "dialvane.exe.local" beside the
// program turns on for every load; and, on XP and on Vista and 7 without
// their security update, the program's folder itself, which only the first
// call takes out.
void RestrictDllSearchToSystemFolder()
{
    // Windows 8 and later, and Vista and 7 with their security update: every
    // search without a folder of its own looks in the system folder only.
    SetDefaultDllDirectoriesProc setDefaultDllDirectories;
    SystemFunction("kernel32.dll", "SetDefaultDllDirectories", &setDefaultDllDirectories);
    if (setDefaultDllDirectories)
        setDefaultDllDirectories(SEARCH_SYSTEM_FOLDER_ONLY);

    // XP SP1 and later: an empty DLL folder takes the current directory out
    // of the search.
    SetDllDirectoryAProc setDllDirectory;
    SystemFunction("kernel32.dll", "SetDllDirectoryA", &setDllDirectory);
    if (setDllDirectory)
        setDllDirectory("");
}
