// SETUPINTRO: the welcome dialog of install mode.
#include "driver/driver.h"
#include "resource.h"

INT_PTR CALLBACK SetupIntro(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        RepaintBackdrop();
        // Only a copy of this very version may be removed from here.
        EnableWindow(GetDlgItem(dialog, IDC_UNINSTALL), State.IsInstalled && SameVersionInstalled());
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
        case IDC_UNINSTALL:
            EndDialog(dialog, END_UNINSTALL);
            return TRUE;
        }
        return FALSE;
    }
    return FALSE;
}
