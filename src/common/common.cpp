#include "common/common.h"

// Statically initialised: it holds its defaults before WinMain runs.
SetupState State;

#define MEMBER(name) name,
const char* const InstallFileList[INSTALL_FILES] = {
#include "common/install_files.inc"
};
#undef MEMBER

void ErrorBox(HWND owner, const char* text)
{
    MessageBoxA(owner, text, "Error", MB_OK);
}

// Sleeps in short steps rather than spinning a core; no message is
// processed meanwhile. The unsigned difference stays right when the tick
// count wraps.
void HoldAtLeast(DWORD start, DWORD milliseconds)
{
    for (;;) {
        DWORD elapsed = GetTickCount() - start;
        if (elapsed >= milliseconds)
            return;
        DWORD left = milliseconds - elapsed;
        Sleep(left < 10 ? left : 10);
    }
}

// Every dialog asks for this while it opens, so the screen behind it is
// clean before it appears.
void RepaintBackdrop()
{
    UpdateWindow(State.backdrop);
}
