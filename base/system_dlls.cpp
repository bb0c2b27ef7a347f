#include <windows.h>

#include "system_dlls.h"

void* SystemFunction(const char* library, const char* name)
{
    HMODULE module = LoadLibraryA(library);
    return module ? reinterpret_cast<void*>(GetProcAddress(module, name)) : nullptr;
}

void SearchSystemFolderOnly()
{
    typedef BOOL(WINAPI * SetDefaultDllDirectoriesFunction)(DWORD flags);
    auto restrict =
        reinterpret_cast<SetDefaultDllDirectoriesFunction>(SystemFunction("KERNEL32.DLL", "SetDefaultDllDirectories"));
    if (restrict)
        restrict(LOAD_LIBRARY_SEARCH_SYSTEM32);
}
