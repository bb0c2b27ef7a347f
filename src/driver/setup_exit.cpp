// SETUPEXIT, and the notices and closing dialogs that share its buttons:
// #141, NOTICE1, SUCCESS, WIZARDNOTFND, EXITUNINSTALL, RSUCCESS1.
#include "driver/driver.h"
#include "resource.h"

INT_PTR CALLBACK SetupExit(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        RepaintBackdrop();
        CenterDialog(dialog);
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
            EndDialog(dialog, END_YES);
            return TRUE;
        case IDCANCEL:
            EndDialog(dialog, END_NO);
            return TRUE;
        case IDC_REMOVE_OLD:
            EndDialog(dialog, END_REMOVE_OLD);
            return TRUE;
        }
        return FALSE;
    }
    return FALSE;
}
