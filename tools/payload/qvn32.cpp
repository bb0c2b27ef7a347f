// QVN32.EXE of the demo distribution: a stand-in for the application,
// so that an installation has a real program to link an icon to.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    MessageBoxA(nullptr, "Corvane Pro32 2.0\n\nThis is the demo distribution's stand-in for the application.",
                "Corvane Pro32", MB_OK | MB_ICONINFORMATION);
    return 0;
}
