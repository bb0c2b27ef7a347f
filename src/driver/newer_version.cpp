// NEWERVERSION: a newer copy is installed; the only way on is out.
#include "driver/driver.h"

INT_PTR CALLBACK NewerVersionWarning(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        RepaintBackdrop();
        CenterDialog(dialog);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDCANCEL) {  // the dialog has no OK button
            EndDialog(dialog, END_NO);
            return TRUE;
        }
        return FALSE;
    }
    return FALSE;
}
