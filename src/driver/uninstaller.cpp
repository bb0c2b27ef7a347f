// UNISTALL: the welcome dialog of uninstall mode.
#include "driver/driver.h"

INT_PTR CALLBACK Uninstaller(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        RepaintBackdrop();
        CenterDialog(dialog);
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
            EndDialog(dialog, END_UNINSTALL);
            return TRUE;
        case IDCANCEL:
            EndDialog(dialog, END_NO);
            return TRUE;
        }
        return FALSE;
    }
    return FALSE;
}
