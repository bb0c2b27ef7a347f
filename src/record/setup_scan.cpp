// SETUPSCAN: the notice shown while the installation record is read.
#include "driver/driver.h"
#include "record/record.h"

INT_PTR CALLBACK SetupScan(HWND dialog, UINT message, WPARAM, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        RepaintBackdrop();
        CenterDialog(dialog);
        // The work waits for this message, so the notice is up first.
        PostMessageA(dialog, WM_CLOSE, 0, 0);
        return TRUE;
    case WM_CLOSE:
        // The posted close message came before the dialog's own paint, and
        // the scan holds the thread: paint the notice first.
        UpdateWindow(dialog);
        ScanInstallation();
        EndDialog(dialog, 1);
        return TRUE;
    }
    return FALSE;
}
