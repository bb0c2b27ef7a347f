#include <windows.h>

#include "system_dlls.h"

void SearchSystemFolderOnly()
{
    typedef BOOL(WINAPI * SetDefaultDllDirectoriesFunction)(DWORD flags);
    auto restrict = reinterpret_cast<SetDefaultDllDirectoriesFunction>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("KERNEL32.DLL"), "SetDefaultDllDirectories")));
    if (restrict)
        restrict(LOAD_LIBRARY_SEARCH_SYSTEM32);
}
