// REMOVESCAN: removes the installed copy while its notice is shown.
#include "driver/driver.h"
#include "remove/remove.h"

enum { SWEEP_MILLISECONDS = 2000 };

void RemovalSweep(HWND)
{
    DWORD start = GetTickCount();
    // The deletions are not built yet.
    State.IsInstalled = 0;
    HoldAtLeast(start, SWEEP_MILLISECONDS);
}

INT_PTR CALLBACK RemoveScan(HWND dialog, UINT message, WPARAM, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        RepaintBackdrop();
        CenterDialog(dialog);
        RepaintBackdrop();
        PostMessageA(dialog, WM_CLOSE, 0, 0);
        return TRUE;
    case WM_CLOSE:
        // Paint the notice before the sweep holds the thread (see SetupScan).
        UpdateWindow(dialog);
        RemovalSweep(dialog);
        EndDialog(dialog, 1);
        return TRUE;
    }
    return FALSE;
}
