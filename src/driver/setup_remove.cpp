// REMOVE: confirms the removal and shows the folder it will empty.
#include "driver/driver.h"
#include "resource.h"

INT_PTR CALLBACK SetupRemove(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        RepaintBackdrop();
        SetDlgItemTextA(dialog, IDC_FOLDER_TEXT, State.InstalledFolder);
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
        }
        return FALSE;
    }
    return FALSE;
}
