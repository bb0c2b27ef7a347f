// A DLL named DUNZIP32.DLL, as a web page could leave one in a downloads
// folder: loaded, it writes LOADED.TXT beside itself.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(instance, path, MAX_PATH);
    if (reason != DLL_PROCESS_ATTACH || length == 0 || length >= MAX_PATH)
        return TRUE;
    lstrcpyA(strrchr(path, '\\') + 1, "LOADED.TXT");
    HANDLE mark = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    CloseHandle(mark);
    return TRUE;
}
