// system_library.h - DLLs of Windows that the program loads itself, taken
// from the system folder only; the functions it looks up in them; and the
// search Windows makes for the DLLs that its own DLLs load.
#pragma once

#include "platform/platform.h"

// Loads a DLL of Windows ("oleacc.dll") from the system folder by its full
// path. By bare name Windows would look in the program's own folder first,
// usually a downloads folder, and run whatever file of that name lies there
// inside the program; the DLL's own dependencies, too, are looked for in the
// system folder first. A DLL already loaded from there (kernel32, user32) is
// found again, not loaded twice. Null where the DLL is missing. Nothing
// loaded here is ever freed: it stays for the life of the process.
HMODULE LoadSystemLibrary(const char *fileName);

// The program's one way to reach a function that this Windows may lack: sets
// `function` to a function of a DLL loaded with LoadSystemLibrary (by name,
// or by ordinal through MAKEINTRESOURCEA), or to null where the DLL or the
// function is missing (on a Windows that predates it, say).
template <typename Function> void SystemFunction(const char *fileName, const char *name, Function *function)
{
    HMODULE module = LoadSystemLibrary(fileName);
    *function = module ? reinterpret_cast<Function>(GetProcAddress(module, name)) : nullptr;
}

// Takes the program's folder and the current directory out of the search
// for every DLL loaded by bare name from now on, Windows' own loads
// included, where this Windows can. Called first thing, before any window
// exists.
void RestrictDllSearchToSystemFolder();
