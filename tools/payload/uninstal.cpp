// UNINSTAL.EXE of the demo distribution, a stand-in: runs SETUP.EXE from
// its own folder with the word UNINSTALL.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    char path[MAX_PATH + 16];
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    while (length > 0 && path[length - 1] != '\\')
        --length;
    lstrcpyA(path + length, "SETUP.EXE");
    if ((INT_PTR)ShellExecuteA(nullptr, nullptr, path, "UNINSTALL", nullptr, SW_SHOWNORMAL) <= 32)
        MessageBoxA(nullptr, "SETUP.EXE was not found beside UNINSTAL.EXE.", "Error", MB_OK);
    return 0;
}
