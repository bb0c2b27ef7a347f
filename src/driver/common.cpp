#include "driver/driver.h"

// Every failure the program reports looks the same: caption "Error",
// an OK button, no icon.
void ErrorBox(HWND owner, const char* text)
{
    MessageBoxA(owner, text, "Error", MB_OK);
}

// Keeps a work dialog on screen until at least `milliseconds` have passed
// since `start`. Sleeps in short steps rather than spinning a core; no
// message is processed meanwhile. The unsigned difference stays right
// when the tick count wraps.
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
