// DZIP32.DLL of the demo distribution: a stand-in for the application's
// compression library, a DLL that does nothing.
#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID)
{
    return TRUE;
}
