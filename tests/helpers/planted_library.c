/* planted_library.c - a DLL that does nothing. The end-to-end test copies it
   beside a copy of dialvane.exe under the name of each DLL the program loads,
   as a planted file would lie in a downloads folder: the program's list of
   loaded modules shows whether it ever took one. Beside the test programs it
   stands for any file there that a DLL of Windows might ask for by name. */
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved)
{
    (void)instance;
    (void)reason;
    (void)reserved;
    return TRUE;
}
